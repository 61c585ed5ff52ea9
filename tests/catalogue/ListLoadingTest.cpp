// Loading the catalogue lists from real station databases in temporary folders.

#include <gtest/gtest.h>

#include "catalogue/ListLoading.h"
#include "common/DesCipher.h"
#include "common/Error.h"
#include "common/ProgramPaths.h"
#include "tests/support/CatalogueTestSupport.h"

namespace telvanta {
namespace {

using test::ExecSql;
using test::MakeDatabase;
using test::Row;
using test::TempFolder;
using Lines = std::vector<std::string>;

Lines ClassTexts(const std::vector<StreamClass>& classes) {
  Lines texts;
  for (const StreamClass streamClass : classes) {
    texts.emplace_back(StreamClassText(streamClass));
  }
  return texts;
}

TvFilter Filter(int typeIndex, std::string type, int countryIndex, std::string country,
                std::string sort = "Country", std::string direction = "Asc") {
  return {typeIndex,          std::move(type), countryIndex,
          std::move(country), std::move(sort), std::move(direction)};
}

TEST(ComposeChannelStatement, WhereAndOrderPartsReadAsTheFilterBoxesSay) {
  struct Case {
    TvFilter filter;
    std::string text;
    std::string sql;
    Lines parameters;
  };
  const std::string select = "select country,name,speed,url from tv ";
  const Case cases[] = {
      {TvFilter{},
       select + "where 1=1 order by country Asc, name Asc",
       select + "where 1=1 order by country Asc, name Asc, rowid ASC",
       {}},
      {Filter(3, "News", 2, "Canada", "Bandwidth", "Desc"),
       select + "where type='News' and country='Canada' order by speed Desc",
       select + "where type=? and country=? order by speed Desc, rowid ASC",
       {"News", "Canada"}},
      {Filter(3, "News", 0, "All Countries"),
       select + "where type='News' order by country Asc, name Asc",
       select + "where type=? order by country Asc, name Asc, rowid ASC",
       {"News"}},
      {Filter(0, "All channels", 2, "Canada"),
       select + "where 1=1 and country='Canada' order by country Asc, name Asc",
       select + "where 1=1 and country=? order by country Asc, name Asc, rowid ASC",
       {"Canada"}},
      {Filter(0, "All channels", 0, "All Countries", "Channel name", "Desc"),
       select + "where 1=1 order by name Desc, country Desc",
       select + "where 1=1 order by name Desc, country Desc, rowid ASC",
       {}},
      {Filter(0, "All channels", 0, "All Countries", "Bandwidth", "Asc"),
       select + "where 1=1 order by speed Asc",
       select + "where 1=1 order by speed Asc, rowid ASC",
       {}},
      // a sort box showing none of its items gives no order part
      {Filter(0, "All channels", 0, "All Countries", "", "Asc"),
       select + "where 1=1 ",
       select + "where 1=1 order by rowid ASC",
       {}},
      // a type box with nothing selected is not at its first item
      {Filter(-1, "", 0, "All Countries", "Bandwidth", "Desc"),
       select + "where type='' order by speed Desc",
       select + "where type=? order by speed Desc, rowid ASC",
       {""}},
      // a direction box with nothing selected: the engine sorts ascending
      {Filter(0, "All channels", 0, "All Countries", "Country", ""),
       select + "where 1=1 order by country , name ",
       select + "where 1=1 order by country Asc, name Asc, rowid ASC",
       {}},
      // an apostrophe is doubled in the shown text and bound as it is
      {Filter(0, "All channels", 14, "Cote d'Ivoire"),
       select + "where 1=1 and country='Cote d''Ivoire' order by country Asc, name Asc",
       select + "where 1=1 and country=? order by country Asc, name Asc, rowid ASC",
       {"Cote d'Ivoire"}},
  };
  for (const Case& c : cases) {
    const ChannelStatement statement = ComposeChannelStatement(c.filter);
    EXPECT_EQ(statement.text, c.text);
    EXPECT_EQ(statement.sql, c.sql);
    EXPECT_EQ(statement.parameters, c.parameters) << c.text;
  }
}

TEST(EntryText, TvAlwaysHasParenthesesWebcamOnlyWithSpeedRadioNever) {
  EXPECT_EQ(TvEntryText("Canada", "Channel One", "300k"), "Canada - Channel One(300k)");
  EXPECT_EQ(TvEntryText("Canada", "Channel One", ""), "Canada - Channel One()");
  EXPECT_EQ(WebcamEntryText("Finland", "Tie 1", ""), "Finland - Tie 1");
  EXPECT_EQ(WebcamEntryText("Finland", "Tie 1", "5k"), "Finland - Tie 1(5k)");
  EXPECT_EQ(RadioEntryText("Canada", "CBC"), "Canada - CBC");
  EXPECT_EQ(Savelist2Line("Canada", "CBC", "", "http://x/y"), "Canada|CBC||http://x/y");
}

class LoadingTest : public ::testing::Test {
 protected:
  std::filesystem::path Path() const { return folder_ / "listv2.dll"; }
  void Connect() { db_.db_connect(Path()); }

  TempFolder folder_{"telvanta-cat"};
  StationDatabase db_;
  StationList list_;
};

TEST_F(LoadingTest, LoadsEntriesTwinUrlsAndIconClassesRowByRow) {
  MakeDatabase(Path(), {Row("Canada", "One", "300k", "mms://host/live"),
                        Row("Canada", "Two", "", "ftp://host/unknown"),  // no stream class
                        Row("France", "Trois", "720p", "rtsp://host/s"),
                        Row("Italy", "Cam", "", "http://host/cam.jpg"),
                        Row("Spain", "Uno", "1080p", "https://host/index.m3u8")});
  Connect();
  EXPECT_FALSE(db_.IsOpen()) << "db_connect must not open the connection";
  list_.entries = {"stale"};
  LoadChannel(db_, TvFilter{}, list_);
  EXPECT_TRUE(db_.IsOpen());
  EXPECT_EQ(list_.entries, (Lines{"Canada - One(300k)", "Canada - Two()", "France - Trois(720p)",
                                  "Italy - Cam()", "Spain - Uno(1080p)"}));
  EXPECT_EQ(list_.urls, (Lines{"mms://host/live", "ftp://host/unknown", "rtsp://host/s",
                               "http://host/cam.jpg", "https://host/index.m3u8"}));
  // the unclassified entry has no icon and the ones after it keep their own
  EXPECT_EQ(ClassTexts(list_.streamClasses), (Lines{"MMS", "", "RTSP", "WEBCAM", "MMS"}));
  EXPECT_FALSE(db_.HasOpenStatements());
}

TEST_F(LoadingTest, RadioAndWebcamEntriesAndTheirOrder) {
  MakeDatabase(Path(), {},
               {Row("Spain", "B", "128k", "http://r/b.pls"), Row("Canada", "A", "", "http://r/a")},
               {Row("Finland", "Cam 2", "", "https://c/2.jpg"),
                Row("Finland", "Cam 1", "5k", "https://c/1.JPEG")});
  Connect();
  LoadRadio(db_, list_);
  EXPECT_EQ(list_.entries, (Lines{"Canada - A", "Spain - B"}));
  EXPECT_EQ(list_.urls, (Lines{"http://r/a", "http://r/b.pls"}));
  EXPECT_EQ(ClassTexts(list_.streamClasses), (Lines{"MMS", "RTSP"}));
  Loadwebcam(db_, list_);
  EXPECT_EQ(list_.entries, (Lines{"Finland - Cam 1(5k)", "Finland - Cam 2"}));
  EXPECT_EQ(ClassTexts(list_.streamClasses), (Lines{"WEBCAM", "WEBCAM"}));
}

TEST_F(LoadingTest, TypeCountrySortAndDirectionSelectAndOrderRows) {
  MakeDatabase(Path(), {Row("Canada", "CBC News", "300k", "http://a/1", "News"),
                        Row("Canada", "Music One", "100k", "http://a/2", "Music"),
                        Row("France", "France 24", "500k", "http://a/3", "News"),
                        Row("Germany", "DW", "200k", "http://a/4", "News")});
  Connect();
  LoadChannel(db_, Filter(3, "News", 0, "All Countries", "Bandwidth", "Desc"), list_);
  EXPECT_EQ(list_.entries,
            (Lines{"France - France 24(500k)", "Canada - CBC News(300k)", "Germany - DW(200k)"}));
  LoadChannel(db_, Filter(0, "All channels", 2, "Canada", "Channel name", "Asc"), list_);
  EXPECT_EQ(list_.entries, (Lines{"Canada - CBC News(300k)", "Canada - Music One(100k)"}));
  LoadChannel(db_, Filter(0, "All channels", 0, "All Countries", "Channel name", "Desc"), list_);
  EXPECT_EQ(list_.entries.front(), "Canada - Music One(100k)");
  EXPECT_EQ(list_.entries.back(), "Canada - CBC News(300k)");
  LoadChannel(db_, Filter(6, "Sports", 0, "All Countries"), list_);
  EXPECT_TRUE(list_.entries.empty());
}

TEST_F(LoadingTest, SeparatorItemGivesAnEmptyListWithoutError) {
  MakeDatabase(Path(), {Row("Canada", "One", "", "http://a/1")});
  Connect();
  LoadChannel(db_, Filter(0, "All channels", 12, "----------"), list_);
  EXPECT_TRUE(list_.entries.empty());
  EXPECT_TRUE(list_.urls.empty());
}

TEST_F(LoadingTest, FilterAndSortIgnoreLetterCase) {
  MakeDatabase(Path(), {Row("Canada", "abd", "", "http://a/1", "News"),
                        Row("Canada", "ABC", "", "http://a/2", "News"),
                        Row("Canada", "Abb", "", "http://a/3", "News")});
  Connect();
  LoadChannel(db_, Filter(3, "news", 2, "CANADA", "Channel name", "Asc"), list_);
  EXPECT_EQ(list_.entries, (Lines{"Canada - Abb()", "Canada - ABC()", "Canada - abd()"}));
}

TEST_F(LoadingTest, EqualKeysComeOutInStoredOrderEitherDirection) {
  MakeDatabase(Path(), {Row("Canada", "Same", "1k", "http://a/first"),
                        Row("Canada", "Same", "1k", "http://a/second"),
                        Row("Canada", "Same", "1k", "http://a/third")});
  Connect();
  for (const char* direction : {"Asc", "Desc"}) {
    for (const char* sort : {"Country", "Channel name", "Bandwidth"}) {
      LoadChannel(db_, Filter(0, "All channels", 0, "All Countries", sort, direction), list_);
      EXPECT_EQ(list_.urls, (Lines{"http://a/first", "http://a/second", "http://a/third"}))
          << sort << " " << direction;
    }
  }
}

TEST_F(LoadingTest, ApostropheValueFindsItsRowsAndCraftedValueFindsNothing) {
  MakeDatabase(Path(), {Row("Cote d'Ivoire", "RTI 1", "", "http://a/1", "News"),
                        Row("Canada", "One", "", "http://a/2", "News")});
  Connect();
  LoadChannel(db_, Filter(0, "All channels", 14, "Cote d'Ivoire"), list_);
  EXPECT_EQ(list_.entries, (Lines{"Cote d'Ivoire - RTI 1()"}));
  for (const char* crafted : {"x' or '1'='1", "x' or 1=1 --", "'; drop table tv; --"}) {
    LoadChannel(db_, Filter(0, "All channels", 14, crafted), list_);
    EXPECT_TRUE(list_.entries.empty()) << crafted;
    LoadChannel(db_, Filter(1, crafted, 0, "All Countries"), list_);
    EXPECT_TRUE(list_.entries.empty()) << crafted;
  }
  LoadChannel(db_, TvFilter{}, list_);
  EXPECT_EQ(list_.entries.size(), 2u);
}

TEST_F(LoadingTest, CountryListAppendsDistinctCountriesAfterTheFixedItems) {
  MakeDatabase(Path(),
               {Row("Canada", "One", "", "http://a/1"), Row("Canada", "Two", "", "http://a/2"),
                Row("aruba", "A", "", "http://a/3"), Row("Zambia", "Z", "", "http://a/4")});
  Connect();
  Lines items(CountryFilterFixedItems.begin(), CountryFilterFixedItems.end());
  Loadcountrylist(db_, items);
  ASSERT_EQ(items.size(), 16u);
  EXPECT_EQ(items[0], "All Countries");
  EXPECT_EQ(items[12], "----------");
  EXPECT_EQ((Lines{items.begin() + 13, items.end()}), (Lines{"aruba", "Canada", "Zambia"}));
  // Canada now stands twice in the box; both items select the same rows
  StationList fixed;
  LoadChannel(db_, Filter(0, "All channels", 2, items[2]), fixed);
  LoadChannel(db_, Filter(0, "All channels", 14, items[14]), list_);
  EXPECT_EQ(fixed.entries, list_.entries);
  EXPECT_EQ(list_.entries.size(), 2u);
}

// Large lists are deciphered in runs on several threads; the first bad row
// in list order decides, whichever run meets a bad row first.
TEST_F(LoadingTest, BadUrlLateInALargeListStopsAtTheFirstBadRowInOrder) {
  std::vector<CatalogueRow> rows;
  for (int i = 0; i < 10000; ++i) {
    rows.push_back(Row("C" + std::to_string(100000 + i), "n", "", "http://a/" + std::to_string(i)));
  }
  MakeDatabase(Path(), rows);
  ExecSql(Path(), "update tv set url='0G' || url where country in ('C107000', 'C109000')");
  Connect();
  EXPECT_THROW(LoadChannel(db_, TvFilter{}, list_), Error);
  ASSERT_EQ(list_.urls.size(), 7000U);
  EXPECT_EQ(list_.entries.size(), 7001U);
  EXPECT_EQ(list_.streamClasses.size(), 7001U);
  EXPECT_EQ(list_.urls.front(), "http://a/0");
  EXPECT_EQ(list_.urls.back(), "http://a/6999");
  EXPECT_EQ(list_.entries.back(), "C107000 - n()");
}

TEST_F(LoadingTest, NullColumnsReadAsEmptyText) {
  MakeDatabase(Path(), {Row("Canada", "One", "300k", "http://a/1")}, {},
               {Row("Finland", "Cam", "", "https://c/1.jpg")});
  ExecSql(Path(), "update tv set speed=NULL; update webcam set speed=NULL");
  Connect();
  LoadChannel(db_, TvFilter{}, list_);
  EXPECT_EQ(list_.entries, (Lines{"Canada - One()"}));
  Loadwebcam(db_, list_);
  EXPECT_EQ(list_.entries, (Lines{"Finland - Cam"}));
}

TEST_F(LoadingTest, NonHexUrlStopsAtItsRowLeavingOneEntryMoreThanTwinLines) {
  MakeDatabase(Path(), {Row("A", "1", "", "http://a/1"), Row("B", "2", "", "http://a/2"),
                        Row("C", "3", "", "http://a/3"), Row("D", "4", "", "http://a/4")});
  ExecSql(Path(), "update tv set url='0G' || url where country='C'");
  Connect();
  try {
    LoadChannel(db_, TvFilter{}, list_);
    FAIL() << "loading went on past a non-hex URL";
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), "Error: not a Hex String");
  }
  EXPECT_EQ(list_.entries, (Lines{"A - 1()", "B - 2()", "C - 3()"}));
  EXPECT_EQ(list_.urls, (Lines{"http://a/1", "http://a/2"}));
  EXPECT_EQ(ClassTexts(list_.streamClasses), (Lines{"MMS", "MMS", ""}));
  EXPECT_FALSE(db_.HasOpenStatements()) << "the statement must be closed after an error";
}

TEST_F(LoadingTest, EngineErrorsCarryTheEngineText) {
  struct Case {
    const char* sql;  // applied to a good database first
    std::function<void(StationDatabase&, StationList&)> load;
    const char* message;
  };
  const Case cases[] = {
      {"drop table tv", [](StationDatabase& d, StationList& l) { LoadChannel(d, TvFilter{}, l); },
       "no such table: tv"},
      {"drop table radio", [](StationDatabase& d, StationList& l) { LoadRadio(d, l); },
       "no such table: radio"},
      {"alter table webcam drop column speed",
       [](StationDatabase& d, StationList& l) { Loadwebcam(d, l); }, "no such column: speed"},
  };
  for (const Case& c : cases) {
    MakeDatabase(Path(), {Row("A", "1", "", "http://a/1")}, {Row("A", "r", "", "http://r/1")},
                 {Row("A", "c", "", "http://c/1.jpg")});
    ExecSql(Path(), c.sql);
    Connect();
    list_.entries = {"before"};
    try {
      c.load(db_, list_);
      ADD_FAILURE() << "no error after " << c.sql;
    } catch (const Error& e) {
      EXPECT_STREQ(e.what(), c.message);
    }
    EXPECT_TRUE(list_.entries.empty()) << "the list is emptied before the statement runs";
    EXPECT_FALSE(db_.HasOpenStatements());
    db_.Close();
  }
}

TEST_F(LoadingTest, MissingOrForeignFileFailsNamingTheFile) {
  Connect();
  EXPECT_THROW(
      {
        try {
          LoadChannel(db_, TvFilter{}, list_);
        } catch (const Error& e) {
          EXPECT_EQ(std::string(e.what()), "The station catalogue \"" + Path().string() +
                                               "\" can't be opened: unable to open database file");
          throw;
        }
      },
      Error);
  EXPECT_FALSE(db_.IsOpen());
  EXPECT_FALSE(std::filesystem::exists(Path())) << "a read-only open must not create the file";

  test::WriteFile(Path(), std::string(4096, 'x'));
  try {
    LoadRadio(db_, list_);
    ADD_FAILURE() << "a file that is no database loaded";
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()), "The station catalogue \"" + Path().string() +
                                         "\" can't be opened: file is not a database");
  }
}

TEST_F(LoadingTest, ConnectionIsReadOnlyAndLeavesTheFileUntouched) {
  MakeDatabase(Path(), {Row("A", "1", "", "http://a/1")});
  const std::string before = test::ReadFile(Path());
  Connect();
  LoadChannel(db_, TvFilter{}, list_);
  try {
    StationQuery write = db_.Query("insert into tv(country) values('x')");
    write.Next();
    ADD_FAILURE() << "the connection accepted a write";
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), "attempt to write a readonly database");
  }
  db_.Close();
  EXPECT_EQ(test::ReadFile(Path()), before);
}

TEST_F(LoadingTest, CloseThenReplaceThenReconnectLoadsTheNewCatalogue) {
  MakeDatabase(Path(), {Row("A", "old", "", "http://a/old")});
  Connect();
  LoadChannel(db_, TvFilter{}, list_);
  EXPECT_EQ(list_.entries, (Lines{"A - old()"}));
  db_.Close();
  EXPECT_FALSE(db_.IsOpen());
  MakeDatabase(folder_ / "new.dll", {Row("B", "new", "", "http://b/new")});
  std::filesystem::rename(folder_ / "new.dll", Path());
  Connect();
  LoadChannel(db_, TvFilter{}, list_);
  EXPECT_EQ(list_.entries, (Lines{"B - new()"}));
}

TEST_F(LoadingTest, DefaultConnectionIsListv2InTheProgramFolder) {
  MakeDatabase(Path(), {Row("A", "1", "", "http://a/1")});
  SetProgramFolderForTesting(folder_.Path());
  db_.db_connect();
  SetProgramFolderForTesting({});
  EXPECT_EQ(db_.Path(), Path());
  LoadChannel(db_, TvFilter{}, list_);
  EXPECT_EQ(list_.entries, (Lines{"A - 1()"}));
}

TEST_F(LoadingTest, FailedOpenIsRetriedByTheNextStatement) {
  Connect();
  EXPECT_THROW(LoadChannel(db_, TvFilter{}, list_), Error);
  MakeDatabase(Path(), {Row("A", "1", "", "http://a/1")});
  LoadChannel(db_, TvFilter{}, list_);
  EXPECT_EQ(list_.entries.size(), 1u);
}

TEST_F(LoadingTest, Savelist2LinesHoldEveryRowWithPlainUrls) {
  MakeDatabase(Path(), {Row("Canada", "B", "300k", "http://a/b", "News"),
                        Row("Canada", "A", "", "mms://a/a", "Music")});
  Connect();
  EXPECT_EQ(Savelist2Lines(db_), (Lines{"Canada|A||mms://a/a", "Canada|B|300k|http://a/b"}));
  ExecSql(Path(), "update tv set url='XY' where name='B'");
  db_.Close();
  EXPECT_THROW(Savelist2Lines(db_), Error);
  EXPECT_FALSE(db_.HasOpenStatements());
}

}  // namespace
}  // namespace telvanta
