#include "update/SystemLanguage.h"

#include <cstdlib>
#include <string>
#include <utility>

#include "common/AsciiText.h"

namespace telvanta {

namespace {

// Windows language identifiers of the common locales, "language_TERRITORY".
constexpr std::pair<std::string_view, LangId> kLanguages[] = {
    {"ar_SA", 0x0401}, {"bg_BG", 0x0402}, {"ca_ES", 0x0403}, {"zh_TW", 0x0404}, {"cs_CZ", 0x0405},
    {"da_DK", 0x0406}, {"de_DE", 0x0407}, {"el_GR", 0x0408}, {"en_US", 0x0409}, {"fi_FI", 0x040B},
    {"fr_FR", 0x040C}, {"he_IL", 0x040D}, {"hu_HU", 0x040E}, {"is_IS", 0x040F}, {"it_IT", 0x0410},
    {"ja_JP", 0x0411}, {"ko_KR", 0x0412}, {"nl_NL", 0x0413}, {"nb_NO", 0x0414}, {"pl_PL", 0x0415},
    {"pt_BR", 0x0416}, {"ro_RO", 0x0418}, {"ru_RU", 0x0419}, {"hr_HR", 0x041A}, {"sk_SK", 0x041B},
    {"sq_AL", 0x041C}, {"sv_SE", 0x041D}, {"th_TH", 0x041E}, {"tr_TR", 0x041F}, {"ur_PK", 0x0420},
    {"id_ID", 0x0421}, {"uk_UA", 0x0422}, {"be_BY", 0x0423}, {"sl_SI", 0x0424}, {"et_EE", 0x0425},
    {"lv_LV", 0x0426}, {"lt_LT", 0x0427}, {"fa_IR", 0x0429}, {"vi_VN", 0x042A}, {"hy_AM", 0x042B},
    {"eu_ES", 0x042D}, {"mk_MK", 0x042F}, {"af_ZA", 0x0436}, {"ka_GE", 0x0437}, {"hi_IN", 0x0439},
    {"ms_MY", 0x043E}, {"kk_KZ", 0x043F}, {"sw_KE", 0x0441}, {"bn_IN", 0x0445}, {"ta_IN", 0x0449},
    {"gl_ES", 0x0456}, {"cy_GB", 0x0452}, {"zh_CN", 0x0804}, {"de_CH", 0x0807}, {"en_GB", 0x0809},
    {"es_MX", 0x080A}, {"fr_BE", 0x080C}, {"it_CH", 0x0810}, {"nl_BE", 0x0813}, {"nn_NO", 0x0814},
    {"pt_PT", 0x0816}, {"sr_RS", 0x241A}, {"sv_FI", 0x081D}, {"ga_IE", 0x083C}, {"zh_HK", 0x0C04},
    {"de_AT", 0x0C07}, {"en_AU", 0x0C09}, {"es_ES", 0x0C0A}, {"fr_CA", 0x0C0C}, {"zh_SG", 0x1004},
    {"de_LU", 0x1007}, {"en_CA", 0x1009}, {"fr_CH", 0x100C}, {"de_LI", 0x1407}, {"en_NZ", 0x1409},
    {"fr_LU", 0x140C}, {"en_IE", 0x1809}, {"en_ZA", 0x1C09}, {"es_AR", 0x2C0A}, {"en_IN", 0x4009},
    {"en_SG", 0x4809}, {"es_CO", 0x240A}, {"es_CL", 0x340A}, {"es_US", 0x540A}, {"ar_EG", 0x0C01},
};

}  // namespace

std::optional<LangId> LanguageOfLocale(std::string_view locale) {
  // "language_TERRITORY.codeset@modifier": only the first two parts count.
  const std::string_view name = locale.substr(0, locale.find_first_of(".@"));
  if (name.empty() || name == "C" || name == "POSIX") {
    return LangEnglishUs;
  }
  const auto underscore = name.find('_');
  if (underscore == std::string_view::npos) {
    return std::nullopt;
  }
  const std::string wanted =
      AsciiLower(name.substr(0, underscore)) + "_" + AsciiUpper(name.substr(underscore + 1));
  for (const auto& [known, id] : kLanguages) {
    if (known == wanted) {
      return id;
    }
  }
  return std::nullopt;
}

std::optional<LangId> SystemDefaultLangID(const char* lcAll, const char* lcMessages,
                                          const char* lang) {
  for (const char* value : {lcAll, lcMessages, lang}) {
    if (value != nullptr && *value != '\0') {
      return LanguageOfLocale(value);
    }
  }
  return LangEnglishUs;
}

std::optional<LangId> SystemDefaultLangID() {
  return SystemDefaultLangID(std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"),
                             std::getenv("LANG"));
}

bool CatalogueRefreshAllowed(std::optional<LangId> language, std::string_view autoUpdate,
                             std::string_view firstRun) {
  if (language != LangGermanGermany && language != LangEnglishUs && language != LangChinesePrc) {
    return false;
  }
  return autoUpdate == "1" || firstRun != "1";
}

}  // namespace telvanta
