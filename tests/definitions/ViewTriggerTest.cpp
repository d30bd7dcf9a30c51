// View and trigger files: the CREATE statements rebuilt from their parameter lines, and the
// tokenizer.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "definitions/ParameterFile.h"
#include "definitions/Token.h"
#include "definitions/TriggerDefinition.h"
#include "definitions/ViewDefinition.h"

namespace wexholt {
namespace {

const std::string kViewPrefix = "CREATE ALGORITHM=UNDEFINED DEFINER=`root`@`localhost` SQL SECURITY DEFINER VIEW `";

class DefinitionFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/wexholt-def-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = std::string(tmpl) + "/";
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::string Write(const std::string& name, const std::string& content) {
    std::ofstream(dir_ + name, std::ios::binary) << content;
    return dir_ + name;
  }
  std::string dir_;
};

TEST_F(DefinitionFileTest, ViewStatements) {
  struct Case {
    const char* what;
    const char* file;
    std::string content;
    std::string expected;
  };
  const Case cases[] = {
      {"query on the fourth line", "sales_view.frm",
       "TYPE=VIEW\nmd5=1\nupdatable=1\nquery=select a from t\nalgorithm=0\n",
       kViewPrefix + "sales_view` AS select a from t;"},
      {"escaped quotes", "v.frm", "TYPE=VIEW\nquery=select \\'x\\' AS `c`\n", kViewPrefix + "v` AS select 'x' AS `c`;"},
      {"escaped line break", "v.frm", "TYPE=VIEW\nquery=select 1\\nfrom dual\n", kViewPrefix + "v` AS select 1\nfrom dual;"},
      {"escaped backslash", "v.frm", "TYPE=VIEW\nquery=select \\'a\\\\\\\\b\\'\n", kViewPrefix + "v` AS select 'a\\\\b';"},
      {"md5query line is not the query", "v.frm", "TYPE=VIEW\nmd5query=abc\nquery=select 2\n", kViewPrefix + "v` AS select 2;"},
      {"first query line wins", "v.frm", "TYPE=VIEW\nquery=select 1\nquery=select 2\n", kViewPrefix + "v` AS select 1;"},
      {"no query line", "v.frm", "TYPE=VIEW\nalgorithm=0\n", kViewPrefix + "v` AS ;"},
      {"carriage returns", "v.frm", "TYPE=VIEW\r\nquery=select 3\r\n", kViewPrefix + "v` AS select 3;"},
      {"name keeps inner dots", "a.b.frm", "TYPE=VIEW\nquery=select 4\n", kViewPrefix + "a.b` AS select 4;"},
      {"UTF-8 text", "v.frm", "TYPE=VIEW\nquery=select \\'gr\xC3\xBC\xC3\x9F\\'\n", kViewPrefix + "v` AS select 'gr\xC3\xBC\xC3\x9F';"},
      {"Windows-1252 text", "v.frm", "TYPE=VIEW\nquery=select \\'caf\xE9\\'\n", kViewPrefix + "v` AS select 'caf\xC3\xA9';"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ViewDefinitionText(Write(c.file, c.content)), c.expected) << c.what;
  }
  EXPECT_EQ(ViewDefinitionText(dir_ + "missing.frm"), "");
}

TEST_F(DefinitionFileTest, ViewFileParts) {
  const std::string path = Write("v1.frm",
                                 "TYPE=VIEW\nquery=select 1 AS `a`\nmd5=x\nupdatable=1\nalgorithm=2\n"
                                 "definer_user=trigger\ndefiner_host=%\nsuid=1\nwith_check_option=2\n"
                                 "client_cs_name=utf8mb4\nconnection_cl_name=utf8mb4_general_ci\n");
  const ViewFile view = ReadViewFile(path);
  EXPECT_TRUE(view.readable);
  EXPECT_EQ(view.name, "v1");
  EXPECT_EQ(view.query, "select 1 AS `a`");
  EXPECT_EQ(view.algorithm, 2);
  EXPECT_EQ(ViewAlgorithmName(view.algorithm), "TEMPTABLE");
  EXPECT_EQ(view.definerUser, "trigger");
  EXPECT_EQ(view.definerHost, "%");
  EXPECT_EQ(view.suid, 1);
  EXPECT_EQ(view.checkOption, 2);
  EXPECT_EQ(view.clientCharset, "utf8mb4");
  EXPECT_FALSE(ReadViewFile(dir_ + "none.frm").readable);
}

TEST(ParameterFile, Escapes) {
  struct Case {
    std::string raw, text;
  };
  const Case cases[] = {
      {"a\\nb", "a\nb"},     {"\\'q\\'", "'q'"},   {"x\\\\y", "x\\y"},  {"\\t\\r", "\t\r"},
      {"\\\"", "\""},        {"\\z\\Z", "\x1A\x1A"}, {std::string("\\0", 2), std::string(1, '\0')},
      {"end\\", "end\\"},    {"\\q", "q"},          {"\\\\n", "\\n"},
  };
  for (const Case& c : cases) EXPECT_EQ(UnescapeParameterValue(c.raw), c.text) << c.raw;
}

// A trigger list as the server writes it: each statement quoted, escapes inside, one space apart.
std::string TriggerFile(const std::string& list) {
  return "TYPE=TRIGGERS\ntriggers=" + list +
         "\nsql_modes=1411383296\ndefiners='root@localhost'\nclient_cs_names='utf8mb4'\n";
}

std::string Block(const std::string& statement) { return "DELIMITER $$\n" + statement + "\n$$\nDELIMITER ;\n"; }

TEST_F(DefinitionFileTest, TriggerStatements) {
  struct Case {
    const char* what;
    std::string list;
    std::vector<std::string> statements;
  };
  const Case cases[] = {
      {"two statements in file order",
       "'CREATE DEFINER=`root`@`localhost` TRIGGER t1 BEFORE INSERT ON t FOR EACH ROW SET NEW.a = 1' "
       "'CREATE DEFINER=`root`@`localhost` TRIGGER t2 AFTER DELETE ON t FOR EACH ROW SET @x = 2'",
       {"CREATE TRIGGER t1 BEFORE INSERT ON t FOR EACH ROW SET NEW.a = 1",
        "CREATE TRIGGER t2 AFTER DELETE ON t FOR EACH ROW SET @x = 2"}},
      {"lower-case keyword",
       "'CREATE DEFINER=`root`@`localhost` trigger low before update on t for each row set @y = 1'",
       {"CREATE trigger low before update on t for each row set @y = 1"}},
      {"definer named like the keyword",
       "'CREATE DEFINER=`trigger`@`localhost` trigger tr2 after update on t for each row set @x = 1'",
       {"CREATE trigger tr2 after update on t for each row set @x = 1"}},
      {"body with line breaks, quotes and backslashes",
       "'CREATE DEFINER=`root`@`localhost` trigger tr1 before insert on t for each row begin\\n"
       "  set new.a = new.a + 1;\\n  set @s = \\'it\\'\\'s\\\\n\\';\\nend'",
       {"CREATE trigger tr1 before insert on t for each row begin\n  set new.a = new.a + 1;\n"
        "  set @s = 'it''s\\n';\nend"}},
      {"statement ending in a string literal",
       "'CREATE DEFINER=`root`@`%` TRIGGER q AFTER INSERT ON t FOR EACH ROW SET @x = \\'q\\''",
       {"CREATE TRIGGER q AFTER INSERT ON t FOR EACH ROW SET @x = 'q'"}},
      {"no definer clause", "'CREATE TRIGGER x BEFORE INSERT ON t FOR EACH ROW SET @a = 1'", {}},
      {"empty list", "", {}},
  };
  for (const Case& c : cases) {
    const std::string path = Write("t.TRG", TriggerFile(c.list));
    EXPECT_EQ(TriggerStatements(path), c.statements) << c.what;
    std::string text;
    for (const std::string& s : c.statements) text += Block(s);
    EXPECT_EQ(TriggerDefinitionText(path), text) << c.what;
  }
  EXPECT_EQ(TriggerDefinitionText(dir_ + "missing.TRG"), "");
  EXPECT_EQ(TriggerDefinitionText(Write("n.TRG", "TYPE=TRIGGERS\nsql_modes=0\n")), "");
}

TEST(CToken, Pieces) {
  CToken token("'CREATE DEFINER=a x' 'CREATE DEFINER=b y'");
  token.SetDelimiter("CREATE DEFINER=");
  std::vector<std::string> pieces;
  while (token.HasMorePieces()) pieces.push_back(token.NextPiece());
  // Only the delimiter's first character is dropped from what remains.
  EXPECT_EQ(pieces, (std::vector<std::string>{"'", "REATE DEFINER=a x' '", "REATE DEFINER=b y'"}));

  CToken none("no delimiter here");
  none.SetDelimiter(",");
  EXPECT_FALSE(none.HasMorePieces());
}

}  // namespace
}  // namespace wexholt
