// The CSV and JSON readers of the catalogue builder.

#include <gtest/gtest.h>

#include "common/Error.h"
#include "tools/catalogue/CsvReader.h"
#include "tools/catalogue/FlatJson.h"

namespace telvanta {
namespace {

using Records = std::vector<std::vector<std::string>>;

Records ReadAll(std::string_view text) {
  CsvReader reader(text);
  Records records;
  std::vector<std::string> fields;
  while (reader.Next(fields)) {
    records.push_back(fields);
  }
  return records;
}

TEST(CsvReader, ReadsQuotedFieldsAsRfc4180Says) {
  struct Case {
    const char* text;
    Records expected;
  };
  const Case cases[] = {
      {"a,b,c\n", {{"a", "b", "c"}}},
      {"a,b,c", {{"a", "b", "c"}}},  // last record without a line break
      {"a,b\r\nc,d\r\n", {{"a", "b"}, {"c", "d"}}},
      {"\"x,y\",z\n", {{"x,y", "z"}}},                    // comma inside quotes
      {"\"say \"\"hi\"\"\",2\n", {{"say \"hi\"", "2"}}},  // doubled quotes
      {"\"two\nlines\",3\n", {{"two\nlines", "3"}}},      // line break inside quotes
      {"\"two\r\nlines\",3\r\n", {{"two\r\nlines", "3"}}},
      {"a,,\n", {{"a", "", ""}}},  // empty fields, trailing one too
      {"a,b,", {{"a", "b", ""}}},
      {"\"\",x\n", {{"", "x"}}},                // empty quoted field
      {"\n", {{""}}},                           // a blank line is a record of one empty field
      {"\xEF\xBB\xBFh1,h2\n", {{"h1", "h2"}}},  // byte order mark dropped
      {"", {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ReadAll(c.text), c.expected) << c.text;
  }
}

TEST(CsvReader, RefusesMalformedRecordsNamingTheLine) {
  struct Case {
    const char* text;
    const char* message;
  };
  const Case cases[] = {
      {"a,b\n\"open,c\n", "line 2: quoted field not closed"},
      {"\"x\"y,z\n", "line 1: unexpected character after a quoted field"},
      {"a,b\"c\n", "line 1: quote inside an unquoted field"},
      {"a\rb\n", "line 1: carriage return without line feed"},
      {"a\n\"two\nlines\" ,x\n", "line 3: unexpected character after a quoted field"},
  };
  for (const Case& c : cases) {
    try {
      ReadAll(c.text);
      ADD_FAILURE() << "accepted: " << c.text;
    } catch (const Error& e) {
      EXPECT_STREQ(e.what(), c.message) << c.text;
    }
  }
}

TEST(CsvReader, RecordLineCountsLineBreaksInsideQuotes) {
  CsvReader reader("h\n\"a\nb\"\nc\n");
  std::vector<std::string> fields;
  ASSERT_TRUE(reader.Next(fields));
  ASSERT_TRUE(reader.Next(fields));
  EXPECT_EQ(reader.RecordLine(), 2u);
  ASSERT_TRUE(reader.Next(fields));
  EXPECT_EQ(reader.RecordLine(), 4u);
  EXPECT_FALSE(reader.Next(fields));
}

TEST(FlatJson, ReadsStringsBooleansNumbersAndNull) {
  const FlatJsonObject object = ParseFlatJsonObject(
      R"( { "quality" : "720p", "needs_referrer": true, "needs_user_agent":false,)"
      R"( "n": -1.5e3, "z": null, "esc": "a\"b\\c\/d\n\u00e9\ud83d\ude00" } )");
  EXPECT_EQ(JsonText(object, "quality"), "720p");
  EXPECT_TRUE(JsonFlag(object, "needs_referrer"));
  EXPECT_FALSE(JsonFlag(object, "needs_user_agent"));
  EXPECT_FALSE(JsonFlag(object, "absent"));
  EXPECT_EQ(object.at("n").text, "-1.5e3");
  EXPECT_EQ(JsonText(object, "z"), "");
  EXPECT_EQ(JsonText(object, "absent"), "");
  EXPECT_EQ(JsonText(object, "esc"), "a\"b\\c/d\n\xC3\xA9\xF0\x9F\x98\x80");
  EXPECT_TRUE(ParseFlatJsonObject("{}").empty());
}

TEST(FlatJson, RefusesAnythingButOneFlatObject) {
  const char* cases[] = {
      "",
      "[]",
      "{\"a\":1",
      "{\"a\":{\"b\":1}}",
      "{\"a\":[1]}",
      "{\"a\":1,\"a\":2}",
      "{\"a\":\"x\"} trailing",
      "{\"a\":\"\\x\"}",
      "{\"a\":\"\\ud800\"}",
      "{\"a\":\"\\udc00\"}",
      "{\"a\":\"\\u12\"}",
      "{\"a\":\"tab\there\"}",
      "{\"a\":tru}",
      "{\"a\":01}",
      "{\"a\":1.}",
      "{a:1}",
      "{\"a\":1,}",
      "{\"a\" 1}",
  };
  for (const char* text : cases) {
    EXPECT_THROW(ParseFlatJsonObject(text), Error) << text;
  }
}

TEST(FlatJson, FlagAndTextRefuseValuesOfTheWrongKind) {
  const FlatJsonObject object = ParseFlatJsonObject(R"({"flag":"true","text":false})");
  EXPECT_THROW(JsonFlag(object, "flag"), Error);
  EXPECT_THROW(JsonText(object, "text"), Error);
}

}  // namespace
}  // namespace telvanta
