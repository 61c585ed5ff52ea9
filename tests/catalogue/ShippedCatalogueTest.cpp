// The station database the build makes from data/stations: what it holds,
// that it is made the same way every time, and that bad lists stop the build.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <set>

#include "catalogue/ListLoading.h"
#include "common/DesCipher.h"
#include "tests/support/CatalogueTestSupport.h"
#include "tools/catalogue/StationSources.h"

namespace telvanta {
namespace {

const std::filesystem::path ShippedCataloguePath = TELVANTA_SHIPPED_CATALOGUE;
const std::filesystem::path StationLists = TELVANTA_STATION_LISTS;
const std::string BuilderProgram = TELVANTA_BUILD_CATALOGUE_PROGRAM;

struct StoredRow {
  std::string country;
  std::string name;
  std::string url;  // deciphered
};

std::vector<StoredRow> StoredRows(StationDatabase& db, const std::string& table) {
  std::vector<StoredRow> rows;
  StationQuery query = db.Query("select country,name,url from " + table + " order by rowid");
  while (query.Next()) {
    rows.push_back({query.Text(0), query.Text(1), DesDecryptHex(query.Text(2), StationKey)});
  }
  return rows;
}

class ShippedCatalogue : public ::testing::Test {
 protected:
  void SetUp() override { db_.db_connect(ShippedCataloguePath); }
  StationDatabase db_;
};

TEST_F(ShippedCatalogue, TableSizesArePlausible) {
  const auto tv = StoredRows(db_, "tv").size();
  const auto radio = StoredRows(db_, "radio").size();
  const auto webcam = StoredRows(db_, "webcam").size();
  EXPECT_GT(tv, 10000u);
  EXPECT_LE(tv, 11742u);
  EXPECT_GT(radio, 20000u);
  EXPECT_LE(radio, 24587u + 707u);
  EXPECT_EQ(webcam, 1364u);
}

// Every stored URL deciphers to a URL of its list, under the name and
// country the list gives it (with its host after it where another row reads
// alike); a sample of the list's rows is stored.
TEST_F(ShippedCatalogue, UrlsDecipherToTheSourceUrls) {
  const StationSources sources = ReadStationSources(StationLists);
  struct Check {
    const char* table;
    std::vector<const SourceTable*> lists;
  };
  const Check checks[] = {{"tv", {&sources.tv}},
                          {"radio", {&sources.radio, &sources.radioBitrates}},
                          {"webcam", {&sources.webcams}}};
  for (const Check& check : checks) {
    std::map<std::string, std::set<std::string>> namesByUrl;
    for (const SourceTable* list : check.lists) {
      for (const SourceRow& row : list->rows) {
        namesByUrl[row.url].insert(row.name);
      }
    }
    std::set<std::string> stored;
    for (const StoredRow& row : StoredRows(db_, check.table)) {
      const auto it = namesByUrl.find(row.url);
      ASSERT_NE(it, namesByUrl.end()) << check.table << ": " << row.url;
      const std::string name = row.name.substr(0, row.name.rfind(" ["));
      EXPECT_TRUE(it->second.count(row.name) || it->second.count(name))
          << check.table << ": " << row.name;
      EXPECT_FALSE(row.country.empty());
      stored.insert(row.url);
    }
    std::size_t sampled = 0;
    for (const SourceRow& row : check.lists.front()->rows) {
      if (row.line % 37 != 0) {
        continue;
      }
      ++sampled;
      const bool needsHeaders =
          JsonFlag(row.extra, "needs_referrer") || JsonFlag(row.extra, "needs_user_agent");
      EXPECT_EQ(stored.count(row.url), needsHeaders ? 0u : 1u) << check.table << ": " << row.url;
    }
    EXPECT_GT(sampled, 30u);
  }
}

// Six rows read "U.K - BBC Arabic(720p)": a user could not tell which to pick.
TEST_F(ShippedCatalogue, NoTwoRowsOfAListReadAlike) {
  StationList tv, radio, webcam;
  LoadChannel(db_, TvFilter{}, tv);
  LoadRadio(db_, radio);
  Loadwebcam(db_, webcam);
  for (const StationList* list : {&tv, &radio, &webcam}) {
    std::set<std::string> seen;
    for (const std::string& entry : list->entries) {
      EXPECT_TRUE(seen.insert(entry).second) << entry;
    }
  }
}

TEST_F(ShippedCatalogue, EveryFixedCountryItemFindsStations) {
  for (std::size_t i = 1; i + 1 < CountryFilterFixedItems.size(); ++i) {
    StationList list;
    TvFilter filter;
    filter.countryIndex = static_cast<int>(i);
    filter.countryText = CountryFilterFixedItems[i];
    LoadChannel(db_, filter, list);
    EXPECT_FALSE(list.entries.empty()) << filter.countryText;
    EXPECT_EQ(list.entries.size(), list.urls.size());
  }
}

TEST_F(ShippedCatalogue, LoadsEveryListInFull) {
  StationList tv, radio, webcam;
  LoadChannel(db_, TvFilter{}, tv);
  LoadRadio(db_, radio);
  Loadwebcam(db_, webcam);
  for (const StationList* list : {&tv, &radio, &webcam}) {
    EXPECT_EQ(list->entries.size(), list->urls.size());
    EXPECT_EQ(list->entries.size(), list->streamClasses.size());
  }
  EXPECT_EQ(webcam.streamClasses.front(), StreamClass::Webcam);
  EXPECT_EQ(webcam.entries.front().rfind("Finland - ", 0), 0u);
  std::vector<std::string> countries;
  Loadcountrylist(db_, countries);
  EXPECT_GT(countries.size(), 100u);
  EXPECT_EQ(Savelist2Lines(db_).size(), tv.entries.size());
}

TEST(CatalogueBuild, SameListsGiveTheSameBytes) {
  test::TempFolder folder{"telvanta-cat"};
  const Catalogue catalogue = AssembleCatalogue(ReadStationSources(StationLists));
  WriteCatalogue(catalogue, folder / "first.dll");
  WriteCatalogue(AssembleCatalogue(ReadStationSources(StationLists)), folder / "second.dll");
  const std::string first = test::ReadFile(folder / "first.dll");
  ASSERT_FALSE(first.empty());
  EXPECT_TRUE(first == test::ReadFile(folder / "second.dll"));
  EXPECT_TRUE(first == test::ReadFile(ShippedCataloguePath)) << "the build's own copy differs";
  // Its serial decides whether a refreshed catalogue is newer.
  StationDatabase shipped;
  shipped.db_connect(ShippedCataloguePath);
  EXPECT_EQ(shipped.Serial(), ParseCatalogueSerial(test::ReadFile(StationLists / "SERIAL")));
}

int RunBuilder(const std::filesystem::path& lists, const std::filesystem::path& output) {
  const std::string command =
      "'" + BuilderProgram + "' '" + lists.string() + "' '" + output.string() + "' >/dev/null 2>&1";
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(CatalogueBuild, MalformedListFailsWithoutWritingTheDatabase) {
  test::TempFolder folder{"telvanta-cat"};
  const std::filesystem::path lists = folder / "lists";
  std::filesystem::copy(StationLists, lists);
  const std::filesystem::path output = folder / "listv2.dll";

  ASSERT_EQ(RunBuilder(lists, output), 0);
  const std::string good = test::ReadFile(output);

  std::string tv = test::ReadFile(lists / "tv_iptv_org.csv");
  tv += "CA,Broken,,,\"http://a/b,{}\n";  // quote never closed
  test::WriteFile(lists / "tv_iptv_org.csv", tv);
  EXPECT_EQ(RunBuilder(lists, output), 1);
  EXPECT_EQ(test::ReadFile(output), good) << "a failed build replaced the database";

  std::filesystem::remove(output);
  EXPECT_EQ(RunBuilder(lists, output), 1);
  EXPECT_FALSE(std::filesystem::exists(output));
  std::filesystem::remove(lists / "tv_iptv_org.csv");
  EXPECT_EQ(RunBuilder(lists, output), 1);
  EXPECT_FALSE(std::filesystem::exists(output));
  // no temporary file is left behind
  std::size_t files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder.Path())) {
    files += entry.is_regular_file() ? 1 : 0;
  }
  EXPECT_EQ(files, 0u);
}

}  // namespace
}  // namespace telvanta
