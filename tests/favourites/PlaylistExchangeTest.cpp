#include "favourites/PlaylistExchange.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/DesCipher.h"
#include "common/Error.h"
#include "common/Files.h"
#include "tests/support/TempFolder.h"

namespace telvanta {
namespace {

using Entries = std::vector<PlaylistEntry>;

std::string Line(std::string_view name, std::string_view url) {
  return std::string(name) + "|" + DesEncryptHex(url, StationKey) + "\r\n";
}

class PlaylistExchangeTest : public ::testing::Test {
 protected:
  Entries Favourites() const {
    StationList list;
    LoadFavourites(favourites_.Lines(), list);
    Entries entries;
    for (std::size_t i = 0; i < list.entries.size(); ++i) {
      entries.push_back({list.entries[i], list.urls[i]});
    }
    return entries;
  }

  test::TempFolder folder_{"telvanta-playlist"};
  FavouritesFile favourites_{folder_ / "Fav.dat"};
};

TEST_F(PlaylistExchangeTest, ExportWritesExactExtendedM3u) {
  test::WriteFile(favourites_.Path(), Line("Café, Ünïcode", "http://h/a?x=1,2&y=%41") +
                                          "\r\n"  // a blank entry: no URL, left out
                                          + Line("", "mms://h/s") +
                                          Line("#1 \"News\"", "rtsp://h/n"));
  const auto playlist = folder_ / "Favorites.m3u";
  EXPECT_EQ(ExportFavourites(favourites_, playlist), 3U);
  EXPECT_EQ(test::ReadFile(playlist),
            "#EXTM3U\n"
            "#EXTINF:-1,Café, Ünïcode\nhttp://h/a?x=1,2&y=%41\n"
            "#EXTINF:-1,\nmms://h/s\n"
            "#EXTINF:-1,#1 \"News\"\nrtsp://h/n\n");
  EXPECT_EQ(ExtendedM3uText({}), "#EXTM3U\n");
  EXPECT_EQ(ExtendedM3uText({{"Split", "http://h/a\nhttp://h/b"}}), "#EXTM3U\n");
}

// Names and URLs a naive reader would cut: commas, quotes, markup, non-ASCII
// text, query strings, escapes, names of digits that look like a duration.
// Each format goes out as its name says and comes back the same.
TEST_F(PlaylistExchangeTest, RoundTripThroughAFileKeepsNamesAndUrls) {
  const Entries tricky = {
      {"Café, Ünïcode — 日本", "http://h.example/live?x=1,2&y=ä b"},
      {"News, 24/7,", "mms://h/news"},
      {"\"Quoted\" #hash <b>&amp;", "rtsp://h/a%20b?c=d#frag"},
      {"101", "http://h/101"},
      {"-5", "https://h/neg"},
      {"Title3=x [playlist]", "http://h/x?a=1&b=<2>"},
  };
  for (const auto& [name, url] : tricky) {
    favourites_.Add(name, url);
  }
  const struct {
    const char* file;
    const char* begins;
  } formats[] = {
      {"out.m3u", "#EXTM3U\n"},
      {"out.PLS", "[playlist]\n"},
      {"out.xspf", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"},
      {"out", "#EXTM3U\n"},  // no ending: M3U
  };
  for (const auto& format : formats) {
    const auto playlist = folder_ / format.file;
    EXPECT_EQ(ExportFavourites(favourites_, playlist), tricky.size());
    EXPECT_EQ(test::ReadFile(playlist).rfind(format.begins, 0), 0U) << format.file;
    const FavouritesFile again(folder_ / (std::string(format.file) + ".dat"));
    test::WriteFile(again.Path(), "");
    const ImportSummary summary = ImportPlaylist(again, playlist);
    EXPECT_EQ(summary.added, tricky.size()) << format.file;
    EXPECT_TRUE(summary.refused.empty()) << format.file << ": " << ImportSummaryText(summary);
    EXPECT_EQ(test::ReadFile(again.Path()), test::ReadFile(favourites_.Path())) << format.file;
  }
}

TEST_F(PlaylistExchangeTest, ImportEachFormatWithRefusalsAndDuplicates) {
  const std::string old = Line("Old", "http://h/old");
  const struct {
    const char* file;
    std::string text;
    Entries added;
    std::vector<std::string> refused;
  } cases[] = {
      {"list.m3u",
       "#EXTM3U\n#EXTINF:-1,One, two\nhttp://h/1?a=b,c\n#EXTINF:-1,\nhttp://h/dir/Radio%20X.mp3\n"
       "#EXTINF:-1,Foo\nftp://x/y\n#EXTINF:-1,Old again\nhttp://h/old\nlocal.mp3\n"
       "#EXTINF:-1,ENG | India Vs Afghanistan\nmms://h/bar\n#EXTINF:-1 tvg-id=\"x\",\nHTTP://h/\n"
       "http://h/a%7Cb?q\n"
       // The title follows the first comma outside quotes.
       "#EXTINF:-1 tvg-logo=\"http://x/France_24_(TV_channel),_logo.png\" group-title=\"News\","
       "France 24\nhttp://h/f24\n",
       {{"One, two", "http://h/1?a=b,c"},
        {"Radio X.mp3", "http://h/dir/Radio%20X.mp3"},
        // A name the user never typed keeps its bar, as a broken bar.
        {"ENG \u00a6 India Vs Afghanistan", "mms://h/bar"},
        {"h", "HTTP://h/"},
        {"a%7Cb", "http://h/a%7Cb?q"},  // an unescaped "|" would cut Fav.dat
        {"France 24", "http://h/f24"}},
       {"\"Foo\" (ftp://x/y): not a stream address",
        "\"Old again\" (http://h/old): already in My Favorites",
        "\"local.mp3\" (file://" + (folder_ / "local.mp3").string() + "): not a stream address"}},
      {"list.m3u8",
       "#EXTM3U\n#EXTINF:-1,Ünï\nhttps://h/live.m3u8\n#EXTINF:-1,Twice\nhttps://h/live.m3u8\n",
       {{"Ünï", "https://h/live.m3u8"}},
       {"\"Twice\" (https://h/live.m3u8): already in My Favorites"}},
      {"list.pls",
       "[playlist]\nNumberOfEntries=3\nFile1=http://h/p?x=1,2\nTitle1=Pls, one\n"
       "File2=mms://h/untitled\nFile3=file:///music/a.mp3\nTitle3=Song\nVersion=2\n",
       {{"Pls, one", "http://h/p?x=1,2"}, {"untitled", "mms://h/untitled"}},
       {"\"Song\" (file:///music/a.mp3): not a stream address"}},
      {"list.xspf",
       "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
       "<playlist version=\"1\" xmlns=\"http://xspf.org/ns/0/\"><trackList>\n"
       "<track><location>rtsp://h/x?a=1&amp;b=2</location><title>Caf&#233; &amp; "
       "Co</title></track>\n"
       "<track><location>http://h/old</location><title>Dup</title></track>\n"
       // Entities XML does not know: told, not dropped or cut out of the URL.
       "<track><location>http://h/e</location><title>Caf&eacute;</title></track>\n"
       "<track><location>http://h/n?a=1&nbsp;b</location></track>\n"
       // Line breaks around a location are layout; one inside it is refused.
       "<track><location>&#10; http://h/trim&#10;</location><title>Trim</title></track>\n"
       "<track><location>http://h/t&#10;wo</location><title>Two</title></track>\n"
       "<track><title>Nowhere</title></track>\n"
       "</trackList></playlist>\n",
       {{"Café & Co", "rtsp://h/x?a=1&b=2"}, {"Trim", "http://h/trim"}},
       {"\"Dup\" (http://h/old): already in My Favorites",
        "\"Caf&eacute;\" (http://h/e): the playlist's text can't be read: Entity name "
        "\u201ceacute\u201d is not known",
        "\"\" (http://h/n?a=1&nbsp;b): the playlist's text can't be read: Entity name "
        "\u201cnbsp\u201d is not known",
        "\"Two\" (http://h/t\nwo): the address holds a control character",
        "\"Nowhere\" (): no address"}},
  };
  for (const auto& c : cases) {
    test::WriteFile(favourites_.Path(), old);
    test::WriteFile(folder_ / c.file, c.text);
    const ImportSummary summary = ImportPlaylist(favourites_, folder_ / c.file);
    std::string expected = old;
    for (const auto& [name, url] : c.added) {
      expected += Line(name, url);
    }
    // Byte for byte: the old line as it was, each new one in Fav.dat's form.
    EXPECT_EQ(test::ReadFile(favourites_.Path()), expected) << c.file;
    EXPECT_EQ(summary.added, c.added.size()) << c.file;
    std::vector<std::string> refused;
    for (const RefusedEntry& r : summary.refused) {
      refused.push_back("\"" + r.entry.name + "\" (" + r.entry.url + "): " + r.reason);
    }
    EXPECT_EQ(refused, c.refused) << c.file;
  }
}

TEST_F(PlaylistExchangeTest, NothingAddedLeavesFavDatAsItWasAndBadFilesAreNamed) {
  const std::string lf = "Old|" + DesEncryptHex("http://h/old", StationKey) + "\n";
  test::WriteFile(favourites_.Path(), lf);
  test::WriteFile(folder_ / "dup.m3u", "http://h/old\n");
  const ImportSummary summary = ImportPlaylist(favourites_, folder_ / "dup.m3u");
  EXPECT_EQ(test::ReadFile(favourites_.Path()), lf);  // not even rewritten with CR LF
  EXPECT_EQ(ImportSummaryText(summary),
            "No channel was added to My Favorites.\n\nNot added:\n"
            "\"old\" (http://h/old): already in My Favorites");

  test::WriteFile(folder_ / "junk.pls", std::string("\x7f"
                                                    "ELF\x02\x01\x01\0\0\0",
                                                    10));
  const struct {
    std::filesystem::path file;
    std::string error;
  } bad[] = {
      {folder_ / "gone.m3u", "Cannot open file \"" + (folder_ / "gone.m3u").string() + "\". "},
      {folder_ / "junk.pls",
       "\"" + (folder_ / "junk.pls").string() + "\" is not an M3U, M3U8, PLS or XSPF playlist."},
  };
  for (const auto& c : bad) {
    try {
      ImportPlaylist(favourites_, c.file);
      ADD_FAILURE() << c.file;
    } catch (const Error& error) {
      EXPECT_EQ(std::string(error.what()).rfind(c.error, 0), 0U) << error.what();
    }
  }
  EXPECT_EQ(test::ReadFile(favourites_.Path()), lf);
}

}  // namespace
}  // namespace telvanta
