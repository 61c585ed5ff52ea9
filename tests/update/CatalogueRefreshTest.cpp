#include "update/CatalogueRefresh.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <string>

#include "common/DesCipher.h"
#include "tests/support/CatalogueTestSupport.h"
#include "tests/support/TempFolder.h"

namespace telvanta {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using test::ExecSql;
using test::MakeDatabase;
using test::ReadFile;
using test::Row;
using test::TempFolder;
using test::WriteFile;

constexpr std::int64_t kShipped = 20261209;

void MakeCatalogue(const fs::path& path, const std::string& radioName = "Radio One",
                   std::int64_t serial = 0) {
  fs::create_directories(path.parent_path());
  MakeDatabase(path, {Row("Canada", "TV One", "300", "mms://h/tv", "News")},
               {Row("France", radioName, "", "http://h/radio")},
               {Row("Finland", "Cam", "", "http://h/cam.jpg")});
  WriteCatalogueSerial(path, serial);
}

// Stages a catalogue as an extraction an hour ago would have, and installs it
// the way the refresh does.
bool Install(const fs::path& data, const fs::path& program, std::int64_t serial,
             const std::string& radioName = "Refreshed Radio") {
  const fs::path staged = StagingFolder(data) / "listv2.dll";
  MakeCatalogue(staged, radioName, serial);
  fs::last_write_time(staged, fs::file_time_type::clock::now() - 1h);
  return AcceptStagedCatalogue(data, program).has_value() && InstallStagedCatalogue(data);
}

// Overwrites bytes in place, as a failing disk or another program would.
void Damage(const fs::path& file, std::size_t count) {
  std::fstream out(file, std::ios::in | std::ios::out | std::ios::binary);
  out.seekp(static_cast<std::streamoff>(fs::file_size(file) / 2));
  out << std::string(count, '\0');
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
      {"radio a recursive view of good rows",
       "drop table radio; create view radio(country,name,url) as with recursive r(n) as "
       "(select 1 union all select n+1 from r) select 'France','Loop','" +
           DesEncryptHex("http://h/loop", StationKey) + "' from r",
       CatalogueFault::NotPlain},
      {"a trigger", "create trigger t after insert on tv begin select 1; end",
       CatalogueFault::NotPlain},
      {"a virtual table beside the lists", "create virtual table extra using fts5(x)",
       CatalogueFault::NotPlain},
      {"a computed URL column",
       "create table t2(country,name,speed,type,u,url as (u)); insert into t2 select "
       "country,name,speed,type,url from tv; drop table tv; alter table t2 rename to tv",
       CatalogueFault::NotPlain},
      {"no webcam rows", "delete from webcam", CatalogueFault::RowCount},
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
  const std::atomic<bool> cancelled{true};
  EXPECT_EQ(CheckCatalogue(good, &cancelled), CatalogueFault::Stopped);
}

// The choice runs at every start, so it looks only at the note the install
// made; a copy that changed since is never tried again.
TEST(CatalogueRefreshTest, OpensTheRefreshedCatalogueWhileItIsTheOneCheckedAndNotOlder) {
  enum class Opens { Shipped, Refreshed, ShippedSetAside };
  const struct {
    const char* what;
    std::int64_t refreshed;  // its serial; 0: none installed
    std::int64_t shippedAtStart;
    std::function<void(const fs::path& file)> meanwhile;
    Opens opens;
  } cases[] = {
      {"none installed", 0, kShipped, nullptr, Opens::Shipped},
      {"a newer refresh", 20270101, kShipped, nullptr, Opens::Refreshed},
      {"the same serial", kShipped, kShipped, nullptr, Opens::Refreshed},
      {"a later package ships a newer one", 20270101, 20270601, nullptr, Opens::Shipped},
      {"64 KB zeroed in the middle", 20270101, kShipped,
       [](const fs::path& file) { Damage(file, 64 * 1024); }, Opens::ShippedSetAside},
      {"4 KB zeroed in the middle", 20270101, kShipped,
       [](const fs::path& file) { Damage(file, 4096); }, Opens::ShippedSetAside},
      {"emptied by another program", 20270101, kShipped,
       [](const fs::path& file) { ExecSql(file, "delete from radio"); }, Opens::ShippedSetAside},
      {"replaced by hand", 20270101, kShipped,
       [](const fs::path& file) {
         fs::remove(file);
         MakeCatalogue(file, "Hand Radio", 20270101);
       },
       Opens::ShippedSetAside},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TempFolder data("telvanta-data");
    TempFolder program("telvanta-program");
    const fs::path shipped = program / "listv2.dll";
    const fs::path refreshed = RefreshedCatalogue(data.Path());
    MakeCatalogue(shipped, "Shipped Radio", kShipped);
    if (c.refreshed != 0) {
      ASSERT_TRUE(Install(data.Path(), program.Path(), c.refreshed));
    }
    WriteCatalogueSerial(shipped, c.shippedAtStart);
    if (c.meanwhile) {
      c.meanwhile(refreshed);
    }
    const fs::path expected = c.opens == Opens::Refreshed ? refreshed : shipped;
    EXPECT_EQ(CatalogueToOpen(data.Path(), program.Path()), expected);
    EXPECT_EQ(CatalogueToOpen(data.Path(), program.Path()), expected);  // and at the next start
    EXPECT_EQ(fs::exists(refreshed), c.opens == Opens::Refreshed);
    EXPECT_EQ(fs::exists(SetAsideCatalogue(data.Path())), c.opens == Opens::ShippedSetAside);
  }
}

TEST(CatalogueRefreshTest, ABadOrOlderStagedCatalogueLeavesTheOneInUse) {
  const struct {
    const char* what;
    std::string sql;  // applied to the staged catalogue
    std::int64_t serial;
  } cases[] = {
      {"a row that does not decipher", "insert into radio values('Spain','Bad','not hex','')",
       20270101},
      {"older than the shipped one", "", kShipped - 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TempFolder data("telvanta-data");
    TempFolder program("telvanta-program");
    MakeCatalogue(program / "listv2.dll", "Shipped Radio", kShipped);
    ASSERT_TRUE(Install(data.Path(), program.Path(), kShipped, "Old Radio"));
    const std::string before = ReadFile(RefreshedCatalogue(data.Path()));
    const fs::path staged = StagingFolder(data.Path()) / "listv2.dll";
    MakeCatalogue(staged, "New Radio", c.serial);
    if (!c.sql.empty()) {
      ExecSql(staged, c.sql);
    }

    EXPECT_FALSE(AcceptStagedCatalogue(data.Path(), program.Path()).has_value());
    EXPECT_FALSE(fs::exists(StagingFolder(data.Path())));
    EXPECT_FALSE(InstallStagedCatalogue(data.Path()));
    EXPECT_EQ(ReadFile(RefreshedCatalogue(data.Path())), before);
    EXPECT_EQ(CatalogueToOpen(data.Path(), program.Path()), RefreshedCatalogue(data.Path()));
  }
}

}  // namespace
}  // namespace telvanta
