#include "update/CatalogueRefresh.h"

#include <gtest/gtest.h>

#include <string>

#include "common/DesCipher.h"
#include "tests/support/CatalogueTestSupport.h"
#include "tests/support/TempFolder.h"

namespace telvanta {
namespace {

namespace fs = std::filesystem;
using test::ExecSql;
using test::MakeDatabase;
using test::ReadFile;
using test::Row;
using test::TempFolder;
using test::WriteFile;

void MakeCatalogue(const fs::path& path, const std::string& radioName = "Radio One") {
  fs::create_directories(path.parent_path());
  MakeDatabase(path, {Row("Canada", "TV One", "300", "mms://h/tv", "News")},
               {Row("France", radioName, "", "http://h/radio")},
               {Row("Finland", "Cam", "", "http://h/cam.jpg")});
}

TEST(CatalogueRefreshTest, OnlyAWholeCatalogueIsAccepted) {
  TempFolder folder;
  const fs::path good = folder / "good.dll";
  MakeCatalogue(good);
  const std::string goodBytes = ReadFile(good);
  const struct {
    const char* what;
    std::string sql;  // applied to a copy of the good catalogue
    CatalogueFault fault;
  } edits[] = {
      {"the good one", "", CatalogueFault::None},
      {"one radio URL that is no hex", "update radio set url='not hex'", CatalogueFault::BadUrl},
      {"one webcam URL with an odd digit", "update webcam set url=url||'Q1'",
       CatalogueFault::BadUrl},
      {"one empty TV URL", "update tv set url=''", CatalogueFault::BadUrl},
      {"a URL under another key",
       "update tv set url='" + DesEncryptHex("\x01\x02", StationKey) + "'", CatalogueFault::BadUrl},
      {"no webcam table", "drop table webcam", CatalogueFault::MissingTable},
      {"tv without its type column",
       "create table t2(country,name,speed,url); insert into t2 select country,name,speed,url "
       "from tv; drop table tv; alter table t2 rename to tv",
       CatalogueFault::MissingTable},
  };
  for (const auto& e : edits) {
    SCOPED_TRACE(e.what);
    const fs::path copy = folder / "copy.dll";
    WriteFile(copy, goodBytes);
    if (!e.sql.empty()) {
      ExecSql(copy, e.sql);
    }
    EXPECT_EQ(CheckCatalogue(copy), e.fault);
  }
  const struct {
    const char* what;
    std::string bytes;
  } broken[] = {
      {"half a database", goodBytes.substr(0, goodBytes.size() / 2)},
      {"a text file", "listv2.dll, honest"},
      {"an empty file", ""},
  };
  for (const auto& b : broken) {
    SCOPED_TRACE(b.what);
    WriteFile(folder / "broken.dll", b.bytes);
    EXPECT_NE(CheckCatalogue(folder / "broken.dll"), CatalogueFault::None);
  }
  EXPECT_EQ(CheckCatalogue(folder / "none.dll"), CatalogueFault::NotADatabase);
}

TEST(CatalogueRefreshTest, OpensTheRefreshedCatalogueOnlyWhenItIsThereAndOpens) {
  TempFolder data("telvanta-data");
  TempFolder program("telvanta-program");
  const fs::path shipped = program / "listv2.dll";
  const fs::path refreshed = data / "listv2.dll";
  EXPECT_EQ(CatalogueToOpen(data.Path(), program.Path()), shipped);
  WriteFile(refreshed, "not a database");
  EXPECT_EQ(CatalogueToOpen(data.Path(), program.Path()), shipped);
  fs::remove(refreshed);
  MakeCatalogue(refreshed);
  EXPECT_EQ(CatalogueToOpen(data.Path(), program.Path()), refreshed);
}

TEST(CatalogueRefreshTest, ABadStagedCatalogueLeavesTheOneInUse) {
  TempFolder data("telvanta-data");
  MakeCatalogue(RefreshedCatalogue(data.Path()), "Old Radio");
  const std::string before = ReadFile(RefreshedCatalogue(data.Path()));
  const fs::path staged = StagingFolder(data.Path()) / "listv2.dll";
  MakeCatalogue(staged, "New Radio");
  ExecSql(staged, "insert into radio values('Spain','Bad','not hex','')");

  EXPECT_FALSE(AcceptStagedCatalogue(data.Path()).has_value());
  EXPECT_FALSE(fs::exists(StagingFolder(data.Path())));
  EXPECT_FALSE(InstallStagedCatalogue(data.Path()));
  EXPECT_EQ(ReadFile(RefreshedCatalogue(data.Path())), before);
}

}  // namespace
}  // namespace telvanta
