#include "script/JsonDocument.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orvane {
namespace {

// GBK bytes used below.
const std::string kZhong = "\xD6\xD0";  // 中
const std::string kWen = "\xCE\xC4";    // 文
// A character whose second byte is "[" (GBK B0 5B; U+7A7C in UTF-8 is E7 A8 BC).
const std::string kBracketTrail = "\xB0\x5B";

JsonDocument Parsed(const std::string& text) {
  JsonDocument document;
  EXPECT_TRUE(document.Parse(text)) << text;
  return document;
}

TEST(JsonDocumentParse, TextsThatAreNoValue) {
  const std::vector<std::string> texts = {
      "",
      "   ",
      "<!DOCTYPE html><html><body>502 Bad Gateway</body></html>",
      "{\"next_page\":2,\"html\":\"<li>",  // cut short
      "{\"a\":1} trailing",
      "{'a':1}",                         // script, not JSON
      "{a:1}",
      "alert(1)",
      "null",
      std::string(600, '[') + std::string(600, ']'),  // nested beyond the bound
  };
  for (const auto& text : texts) {
    JsonDocument document;
    document.SetMember("next_page", "9");
    EXPECT_FALSE(document.Parse(text)) << text;
    EXPECT_EQ(document.GetText("next_page"), "") << text;
    EXPECT_EQ(document.GetText("html"), "") << text;
    EXPECT_EQ(document.GetText("[0]"), "") << text;
    EXPECT_EQ(document.TypeOf("html"), JsonType::kInvalid) << text;
    EXPECT_EQ(document.TypeOf(), JsonType::kNull) << text;
    EXPECT_EQ(document.Count(), 0) << text;
    EXPECT_EQ(document.ToJson(), "null") << text;
  }
}

TEST(JsonDocumentParse, ScalarsAndDeepButBoundedValues) {
  EXPECT_TRUE(JsonDocument().Parse("2"));
  EXPECT_TRUE(JsonDocument().Parse("\"x\""));
  EXPECT_TRUE(JsonDocument().Parse("false"));
  EXPECT_TRUE(JsonDocument().Parse(" {} "));
  EXPECT_TRUE(JsonDocument().Parse(std::string(500, '[') + std::string(500, ']')));
}

TEST(JsonDocumentParse, SecondParseLeavesNothingOfTheFirst) {
  JsonDocument document = Parsed(R"({"only_first":"a","both":"1"})");
  EXPECT_EQ(document.GetText("only_first"), "a");
  ASSERT_TRUE(document.Parse(R"({"both":"2"})"));
  EXPECT_EQ(document.GetText("only_first"), "");
  EXPECT_EQ(document.GetText("both"), "2");
  EXPECT_EQ(document.Count(), 1);
  // A failed parse also forgets everything.
  EXPECT_FALSE(document.Parse("<html>"));
  EXPECT_EQ(document.GetText("both"), "");
}

TEST(JsonDocumentParse, DuplicateNamesKeepFirstPlaceAndLastValue) {
  const JsonDocument document = Parsed(R"({"a":1,"b":2,"a":3})");
  EXPECT_EQ(document.ToJson(), R"({"a":3,"b":2})");
}

TEST(JsonDocumentParse, ManyMembersInDocumentOrder) {
  std::string text = "{";
  for (int i = 0; i < 50000; ++i) text += (i ? ",\"k" : "\"k") + std::to_string(i) + "\":" + std::to_string(i);
  text += "}";
  const JsonDocument document = Parsed(text);
  EXPECT_EQ(document.Count(), 50000);
  EXPECT_EQ(document.GetText("k49999"), "49999");
  std::vector<std::string> keys;
  ASSERT_EQ(document.Keys(keys), 50000);
  EXPECT_EQ(keys[0], "k0");
  EXPECT_EQ(keys[49999], "k49999");
}

TEST(JsonDocumentGetText, ReplyMembers) {
  struct Case {
    const char* name;
    std::string json, path, expected;
  };
  const std::vector<Case> cases = {
      {"next page 2", R"({"next_page":2})", "next_page", "2"},
      {"next page 0", R"({"next_page":0})", "next_page", "0"},
      {"fraction keeps its point", R"({"n":2.5})", "n", "2.5"},
      {"whole fraction", R"({"n":2.0})", "n", "2"},
      {"negative", R"({"n":-7})", "n", "-7"},
      {"thirteen digits", R"({"n":1234567890123})", "n", "1234567890123"},
      {"fourteen digits", R"({"n":12345678901234})", "n", "1.234567890123e+13"},
      {"1e14", R"({"n":1e14})", "n", "1e+14"},
      {"small", R"({"n":0.000001})", "n", "1e-06"},
      {"rounded to 13 digits", R"({"n":0.1234567890123456})", "n", "0.1234567890123"},
      {"huge unsigned", R"({"n":18446744073709551615})", "n", "1.844674407371e+19"},
      {"string unchanged", R"({"title":"  a \"b\" \\ c  "})", "title", "  a \"b\" \\ c  "},
      {"numeric string stays text", R"({"n":"007"})", "n", "007"},
      {"html fragment", R"({"html":"<li sound_id=\"1\">x</li>\n"})", "html", "<li sound_id=\"1\">x</li>\n"},
      {"null", R"({"n":null})", "n", ""},
      {"missing", R"({"a":1})", "b", ""},
      {"empty string", R"({"a":""})", "a", ""},
      {"true", R"({"a":true})", "a", "true"},
      {"object as JSON", R"({"a":{"b":[1,"x"]}})", "a", R"({"b":[1,"x"]})"},
      {"nested path", R"({"data":{"list":[{"title":"t0"},{"title":"t1"}]}})", "data.list[1].title", "t1"},
      {"array document", R"([{"title":"first"},{"title":"second"}])", "[0].title", "first"},
      {"array document number", R"([{"n":2.5}])", "[0].n", "2.5"},
      {"bracketed index on object", R"({"a":{"0":"zero"}})", "a[0]", "zero"},
      {"quoted name", R"({"a b":{"c":"x"}})", "[\"a b\"].c", "x"},
      {"single-quoted name", R"({"a":{"b c":"x"}})", "a['b c']", "x"},
      {"quoted index on array", R"({"a":["x","y"]})", "a[\"1\"]", "y"},
      {"index past the end", R"({"a":["x"]})", "a[1]", ""},
      {"member of a missing member", R"({"a":1})", "b.c", ""},
      {"member of null", R"({"a":null})", "a.b", ""},
      {"member of a string", R"({"a":"s"})", "a.b", ""},
      {"name on an array", R"({"a":["x"]})", "a.x", ""},
      {"empty path", R"({"a":"x"})", "", ""},
      {"trailing dot", R"({"a":"x"})", "a.", ""},
      {"leading dot", R"({"a":"x"})", ".a", ""},
      {"double dot", R"({"a":{"b":"x"}})", "a..b", ""},
      {"name starting with a digit", R"({"1a":"x"})", "1a", ""},
      {"unclosed bracket", R"({"a":["x"]})", "a[0", ""},
      {"negative index", R"({"a":["x"]})", "a[-1]", ""},
      {"leading zero index", R"({"a":["x","y"]})", "a[01]", ""},
      {"blank in path", R"({"a":{"b":"x"}})", "a. b", ""},
      {"script in path", R"({"a":"x"})", "a;b", ""},
      {"call in path", R"({"a":"x"})", "a()", ""},
  };
  for (const auto& c : cases) {
    JsonDocument document;
    ASSERT_TRUE(document.Parse(c.json)) << c.name;
    EXPECT_EQ(document.GetText(c.path), c.expected) << c.name;
  }
}

TEST(JsonDocumentGetText, AsJson) {
  const JsonDocument document = Parsed(R"({"a":{"b":[1,2.5,"x\n",null,true]},"s":"q\"","n":null})");
  EXPECT_EQ(document.GetText("a", true), R"({"b":[1,2.5,"x\n",null,true]})");
  EXPECT_EQ(document.GetText("s", true), R"("q\"")");
  EXPECT_EQ(document.GetText("n", true), "null");
  EXPECT_EQ(document.GetText("missing", true), "");
  EXPECT_EQ(document.GetText("missing.x", true), "");
  EXPECT_EQ(document.GetMemberJson("a.b[1]"), "2.5");
  EXPECT_EQ(document.GetMemberJson("missing"), "");
  EXPECT_EQ(document.ToJson(), R"({"a":{"b":[1,2.5,"x\n",null,true]},"s":"q\"","n":null})");
}

TEST(JsonDocumentText, ChineseRoundTrip) {
  // The GBK text {"title":"中文","中":"文"}.
  const std::string text = "{\"title\":\"" + kZhong + kWen + "\",\"" + kZhong + "\":\"" + kWen + "\"}";
  JsonDocument document = Parsed(text);
  EXPECT_EQ(document.GetText("title"), kZhong + kWen);
  EXPECT_EQ(document.GetText(kZhong), kWen);
  EXPECT_EQ(document.ToJson(), text);
  std::vector<std::string> keys;
  document.Keys(keys);
  EXPECT_EQ(keys, (std::vector<std::string>{"title", kZhong}));
  // \u escapes read back as the GBK bytes of their characters; one GBK lacks becomes "?".
  ASSERT_TRUE(document.Parse(R"({"a":"\u4e2d\u6587","b":"\ud83d\ude00","c":"\u0041"})"));
  EXPECT_EQ(document.GetText("a"), kZhong + kWen);
  EXPECT_EQ(document.GetText("b"), "?");
  EXPECT_EQ(document.GetText("c"), "A");
  // A member name whose second byte is "[" is one character of the name, not a bracket.
  ASSERT_TRUE(document.Parse("{\"x" + kBracketTrail + "\":\"found\"}"));
  EXPECT_EQ(document.GetText("x" + kBracketTrail), "found");
  // Setters take GBK too.
  document.SetMember("t", kZhong + "\"");
  EXPECT_EQ(document.GetText("t"), kZhong + "\"");
  EXPECT_EQ(document.GetText("t", true), "\"" + kZhong + "\\\"\"");
}

TEST(JsonDocumentTypeOf, Codes) {
  const JsonDocument document =
      Parsed(R"({"n":null,"t":true,"f":false,"num":1.5,"o":{"x":1},"a":[1],"s":"x","e":""})");
  const std::vector<std::pair<std::string, JsonType>> cases = {
      {"n", JsonType::kNull},       {"missing", JsonType::kNull},   {"t", JsonType::kBoolean},
      {"f", JsonType::kBoolean},    {"num", JsonType::kNumber},     {"o", JsonType::kObject},
      {"a", JsonType::kArray},      {"s", JsonType::kString},       {"e", JsonType::kString},
      {"", JsonType::kObject},      {"o.x", JsonType::kNumber},     {"a[0]", JsonType::kNumber},
      {"missing.x", JsonType::kInvalid}, {"n.x", JsonType::kInvalid}, {"s.x", JsonType::kNull},
      {"a..", JsonType::kInvalid},  {"[0]", JsonType::kInvalid},
  };
  for (const auto& [path, type] : cases) EXPECT_EQ(document.TypeOf(path), type) << path;
  EXPECT_EQ(Parsed("[1,2]").TypeOf(), JsonType::kArray);
  EXPECT_EQ(Parsed("2").TypeOf(), JsonType::kNumber);
  EXPECT_EQ(static_cast<int>(JsonType::kString), 6);
  EXPECT_EQ(static_cast<int>(JsonType::kArray), 5);
}

TEST(JsonDocumentCount, ArraysObjectsAndTheRest) {
  const JsonDocument document = Parsed(R"({"o":{"a":1,"b":{"c":2}},"a":[1,2,3],"s":"abc","n":null,"e":{}})");
  EXPECT_EQ(document.Count(), 5);
  EXPECT_EQ(document.Count("o"), 2);
  EXPECT_EQ(document.Count("a"), 3);
  EXPECT_EQ(document.Count("e"), 0);
  EXPECT_EQ(document.Count("s"), 0);
  EXPECT_EQ(document.Count("n"), 0);
  EXPECT_EQ(document.Count("missing"), 0);
  EXPECT_EQ(document.Count("missing.x"), 0);
  const JsonDocument array = Parsed(R"([{"list":[1,2]},{"x":1}])");
  EXPECT_EQ(array.Count(), 2);
  EXPECT_EQ(array.Count("[0].list"), 2);
}

TEST(JsonDocumentKeys, OwnMembersInDocumentOrder) {
  const JsonDocument document = Parsed(R"({"o":{"zeta":1,"alpha":2},"a":["x","y"],"s":"abc","w":{"a,b":1}})");
  std::vector<std::string> keys = {"stale"};
  EXPECT_EQ(document.Keys(keys, "o"), 2);
  EXPECT_EQ(keys, (std::vector<std::string>{"zeta", "alpha"}));
  EXPECT_EQ(document.Keys(keys), 4);
  EXPECT_EQ(keys, (std::vector<std::string>{"o", "a", "s", "w"}));
  EXPECT_EQ(document.Keys(keys, "a"), 2);
  EXPECT_EQ(keys, (std::vector<std::string>{"0", "1"}));
  // A name holding a comma stays one name.
  EXPECT_EQ(document.Keys(keys, "w"), 1);
  EXPECT_EQ(keys, (std::vector<std::string>{"a,b"}));
  for (const std::string path : {"s", "missing", "missing.x", "o."}) {
    keys = {"stale"};
    EXPECT_EQ(document.Keys(keys, path), 0) << path;
    EXPECT_TRUE(keys.empty()) << path;
  }
}

TEST(JsonDocumentHasMember, NeitherMissingNorNull) {
  const JsonDocument document = Parsed(R"({"a":0,"b":"","c":null,"d":{"e":false}})");
  EXPECT_TRUE(document.HasMember("a"));
  EXPECT_TRUE(document.HasMember("b"));
  EXPECT_FALSE(document.HasMember("c"));
  EXPECT_TRUE(document.HasMember("d.e"));
  EXPECT_FALSE(document.HasMember("x"));
  EXPECT_FALSE(document.HasMember("x.y"));
  EXPECT_FALSE(document.HasMember(""));
}

TEST(JsonDocumentGetNumber, Conversions) {
  const JsonDocument document =
      Parsed(R"({"i":42,"f":-2.5,"s":" 12.5 ","x":"12px","t":true,"n":null,"o":{},"big":1e300,"e":""})");
  EXPECT_EQ(document.GetNumber("i"), 42);
  EXPECT_EQ(document.GetNumber("f"), -2.5);
  EXPECT_EQ(document.GetNumber("s"), 12.5);
  EXPECT_EQ(document.GetNumber("x"), 0);
  EXPECT_EQ(document.GetNumber("t"), 1);
  EXPECT_EQ(document.GetNumber("n"), 0);
  EXPECT_EQ(document.GetNumber("o"), 0);
  EXPECT_EQ(document.GetNumber("e"), 0);
  EXPECT_EQ(document.GetNumber("big"), 1e300);
  EXPECT_EQ(document.GetNumber("missing"), 0);
  EXPECT_EQ(document.GetNumber("missing.x"), 0);
}

TEST(JsonDocumentSetters, SetMember) {
  JsonDocument document;
  document.SetMember("a", "1");
  document.SetMember("b", "{\"x\":1}", true);
  document.SetMember("c", "", true);
  document.SetMember("d", "not json", true);  // nothing
  document.SetMember("b.y", "[1,2]", true);
  document.SetMember("missing.y", "1");        // nothing: no member to hold it
  document.SetMember("a.y", "1");              // nothing: a string holds no members
  document.SetMember("", "1");                 // nothing: no path
  document.SetMember("a", "2");                // replaced in place
  document.SetMemberJson("e", "");             // nothing: empty is no JSON
  document.SetMemberJson("f", "[true]");
  document.SetMemberNumber("g", 2.5);
  document.SetMemberNumber("h", 3);
  document.SetMemberNumber("i", 1.0 / 0.0);    // nothing
  EXPECT_EQ(document.ToJson(), R"({"a":"2","b":{"x":1,"y":[1,2]},"c":{},"f":[true],"g":2.5,"h":3})");
  EXPECT_EQ(document.GetText("h"), "3");
  EXPECT_EQ(document.TypeOf("a"), JsonType::kString);
}

TEST(JsonDocumentSetters, Elements) {
  JsonDocument document;
  document.Reset(JsonType::kArray);
  document.SetElement(0, "a");
  document.SetElement(2, "{\"x\":1}", true);  // the gap reads as null
  document.SetElement(1, "bad json", true);  // nothing
  EXPECT_EQ(document.ToJson(), R"(["a",null,{"x":1}])");
  document.SetElement(100000000, "far");  // nothing: too far past the end
  EXPECT_EQ(document.Count(), 3);
  EXPECT_EQ(document.GetElementText(0), "a");
  EXPECT_EQ(document.GetElementText(2, "", true), R"({"x":1})");
  EXPECT_EQ(document.GetElementText(3), "");
  EXPECT_EQ(document.GetElementText(-1), "");
  document.RemoveElement(1);
  EXPECT_EQ(document.ToJson(), R"(["a",{"x":1}])");
  document.RemoveElement(-1);  // from the end
  EXPECT_EQ(document.ToJson(), R"(["a"])");
  document.RemoveElement(5);
  EXPECT_EQ(document.ToJson(), R"(["a"])");

  // On an object an index names a member; element removal needs an array.
  document.Clear();
  document.SetElement(1, "one");
  document.RemoveElement(0);
  EXPECT_EQ(document.ToJson(), R"({"1":"one"})");
  EXPECT_EQ(document.GetElementText(1), "one");

  ASSERT_TRUE(document.Parse(R"({"list":[10,[20,21]]})"));
  EXPECT_EQ(document.GetElementText(1, "list", true), "[20,21]");
  EXPECT_EQ(document.GetElementText(0, "list"), "10");
  EXPECT_EQ(document.GetElementText(0, "missing"), "");
}

TEST(JsonDocumentSetters, Append) {
  JsonDocument document = Parsed(R"({"list":[1],"s":"x"})");
  document.Append("a", "list");
  document.Append("{\"b\":2}", "list", true);
  document.Append("not json", "list", true);  // nothing
  document.Append("y", "s");                   // a string becomes an array first
  document.Append("z", "new");                 // so does a missing member
  document.Append("q", "missing.deeper");      // nothing: no member to hold it
  EXPECT_EQ(document.ToJson(), R"({"list":[1,"a",{"b":2}],"s":["y"],"new":["z"]})");
  document.Append("top");  // the document itself
  EXPECT_EQ(document.ToJson(), R"(["top"])");
}

TEST(JsonDocumentSetters, DeleteResetSetValueClear) {
  JsonDocument document = Parsed(R"({"a":1,"b":{"c":2,"d":3},"l":[1,2]})");
  document.DeleteMember("b.c");
  document.DeleteMember("l[0]");
  document.DeleteMember("missing.x");
  document.DeleteMember("a");
  EXPECT_EQ(document.ToJson(), R"({"b":{"d":3},"l":[null,2]})");
  document.SetValue("text");
  EXPECT_EQ(document.ToJson(), R"("text")");
  EXPECT_EQ(document.TypeOf(), JsonType::kString);
  document.SetValue("[1]", true);
  EXPECT_EQ(document.TypeOf(), JsonType::kArray);
  document.SetValue("{", true);  // nothing
  EXPECT_EQ(document.ToJson(), "[1]");
  document.SetValue("", true);
  EXPECT_EQ(document.ToJson(), "{}");
  const std::vector<std::pair<JsonType, std::string>> resets = {
      {JsonType::kArray, "[]"}, {JsonType::kNull, "{}"}, {JsonType::kArray, "[]"}, {JsonType::kObject, "{}"},
      {JsonType::kString, "{}"}, {JsonType::kInvalid, "{}"}};
  for (const auto& [type, json] : resets) {
    document.Reset(type);
    EXPECT_EQ(document.ToJson(), json) << static_cast<int>(type);
  }
  document.SetMember("x", "1");
  document.Clear();
  EXPECT_EQ(document.ToJson(), "{}");
}

TEST(JsonDocumentSetters, NestingStaysBounded) {
  JsonDocument document;
  const std::string deep = std::string(511, '[') + std::string(511, ']');
  document.SetMember("a", deep, true);  // 512 levels with the document itself
  EXPECT_EQ(document.TypeOf("a"), JsonType::kArray);
  document.SetMember("b", "[" + deep + "]", true);  // one more: nothing
  EXPECT_EQ(document.TypeOf("b"), JsonType::kNull);
  document.SetMember("c", document.ToJson(), true);  // nor by nesting the document in itself
  EXPECT_EQ(document.TypeOf("c"), JsonType::kNull);
  document.Append(deep, "d", true);
  EXPECT_EQ(document.TypeOf("d"), JsonType::kNull);
  EXPECT_EQ(document.GetText("a", true), deep);
}

TEST(JsonDocumentCopies, ShareUntilParse) {
  JsonDocument first = Parsed(R"({"a":"1"})");
  JsonDocument copy = first;
  copy.SetMember("b", "2");
  EXPECT_EQ(first.GetText("b"), "2");
  first.Clear();
  EXPECT_EQ(copy.Count(), 0);
  // Parse gives the parsing document a value of its own.
  ASSERT_TRUE(copy.Parse(R"({"c":"3"})"));
  EXPECT_EQ(first.GetText("c"), "");
  first.SetMember("d", "4");
  EXPECT_EQ(copy.GetText("d"), "");
  JsonDocument assigned;
  assigned = copy;
  assigned.SetMember("e", "5");
  EXPECT_EQ(copy.GetText("e"), "5");
  assigned.Init();
  EXPECT_EQ(assigned.ToJson(), "{}");
  EXPECT_EQ(copy.GetText("c"), "3");
}

TEST(JsonDocumentCopies, GetDocumentIsIndependent) {
  JsonDocument document = Parsed(R"({"data":{"list":[{"title":"t0"}],"n":2},"arr":[[1,2]]})");
  JsonDocument data = document.GetDocument("data");
  EXPECT_EQ(data.GetText("list[0].title"), "t0");
  EXPECT_EQ(data.GetText("n"), "2");
  data.SetMember("n", "changed");
  document.SetMember("data.list", "gone");
  EXPECT_EQ(document.GetText("data.n"), "2");
  EXPECT_EQ(data.GetText("list[0].title"), "t0");

  JsonDocument inner = document.GetDocument("[\"arr\"][0]");
  EXPECT_EQ(inner.Count(), 2);
  const JsonDocument missing = document.GetDocument("missing");
  EXPECT_EQ(missing.TypeOf(), JsonType::kNull);
  EXPECT_EQ(missing.GetText("x"), "");
  EXPECT_EQ(document.GetDocument("").ToJson(), "null");

  const JsonDocument list = Parsed(R"([{"title":"a"},{"title":"b"}])");
  JsonDocument element = list.GetElementDocument(1);
  EXPECT_EQ(element.GetText("title"), "b");
  element.SetMember("title", "c");
  EXPECT_EQ(list.GetText("[1].title"), "b");
  EXPECT_EQ(list.GetDocument("[0]").GetText("title"), "a");
  EXPECT_EQ(list.GetElementDocument(2).TypeOf(), JsonType::kNull);
  EXPECT_EQ(document.GetElementDocument(0, "arr").Count(), 2);
}

TEST(JsonDocumentConstruction, EmptyObject) {
  const JsonDocument document;
  EXPECT_EQ(document.ToJson(), "{}");
  EXPECT_EQ(document.TypeOf(), JsonType::kObject);
  EXPECT_EQ(document.Count(), 0);
  EXPECT_EQ(document.GetText("x"), "");
}

}  // namespace
}  // namespace orvane
