// Damaged input, failing writes, large files and bad arguments.
#include "ini_test_util.h"

#include <sys/stat.h>

using namespace ini;
using namespace ini_test;

namespace {

bool HasTemporaryFiles(const fs::path& dir) {
    for (const auto& e : fs::directory_iterator(dir)) {
        if (e.path().filename().string().rfind("ini$$", 0) == 0) {
            return true;
        }
    }
    return false;
}

IniStorePtr SmallStore() {
    IniStorePtr store = MakeIniStore();
    Ini_PutString(store.get(), "GENERAL INFO", "FILE TYPE:", "Parameter File");
    Ini_PutInt(store.get(), "PARAMETER", "POWER", 500);
    return store;
}

} // namespace

TEST(IniRobust, DamagedLinesAndEscapes) {
    const std::string longValue(3000, 'v');
    IniStorePtr store = StoreFromText(std::string("[S]\n") + "LONG = " + longValue + "\n" +
                                      "NUL = ab" + '\0' + "cd = 1\n" +
                                      "DANGLING = \"abc\\\"\n"
                                      "HEX = \"\\x4\\xZZ\\x4A\\x\"\n"
                                      "QUOTE = \"\n"
                                      "[BROKEN\n"
                                      "LOST = 1\n"
                                      "[]\n"
                                      "E = 2\n");
    EXPECT_EQ(std::string(1024 - 7, 'v'), GetString(store.get(), "S", "LONG"));
    // A zero byte ends the line like a line feed.
    EXPECT_EQ("ab", GetString(store.get(), "S", "NUL"));
    EXPECT_EQ("1", GetString(store.get(), "S", "cd"));
    EXPECT_EQ("abc\\", GetString(store.get(), "S", "DANGLING"));
    EXPECT_EQ("x4xZZJx", GetString(store.get(), "S", "HEX"));
    EXPECT_EQ("\"", GetString(store.get(), "S", "QUOTE"));
    int v = 0;
    EXPECT_EQ(0, Ini_GetInt(store.get(), "S", "LOST", &v));
    EXPECT_EQ(1, Ini_GetInt(store.get(), "", "E", &v));
}

// A settings file saved by a Windows editor starts with a UTF-8 byte-order
// mark; the first section must stay readable. Only a mark at the very start
// is skipped, and bytes that only begin like one are text.
TEST(IniRobust, ByteOrderMarkAtTheStartIsSkipped) {
    const std::string bom = "\xEF\xBB\xBF";
    IniStorePtr store =
        StoreFromText(bom + "[GENERAL INFO]\r\nFILE TYPE: = \"Panel Settings\"\r\n");
    EXPECT_EQ("Panel Settings", GetString(store.get(), "GENERAL INFO", "FILE TYPE:"));
    // a mark followed by a comment: the comment is the file's leading comment
    store = StoreFromText(bom + "; saved by hand\n[S]\nA = 1\n");
    int v = 0;
    EXPECT_EQ(1, Ini_GetInt(store.get(), "S", "A", &v));
    // a mark further on is text: here it spoils the section line it stands in
    store = StoreFromText("[S]\nA = 1\n" + bom + "[T]\nB = 2\n");
    EXPECT_EQ(1, Ini_GetInt(store.get(), "S", "B", &v));
    // the first two bytes of a mark are text: the line is no section line
    store = StoreFromText("\xEF\xBB[S]\nA = 1\n");
    EXPECT_EQ(0, Ini_GetInt(store.get(), "S", "A", &v));
    // a file of nothing but a partial mark reads as empty
    store = StoreFromText("\xEF\xBB");
    EXPECT_EQ(0, Ini_GetInt(store.get(), "S", "A", &v));
}

TEST(IniRobust, MissingOrUnreadableFile) {
    TempDir dir;
    IniStorePtr store = MakeIniStore();
    EXPECT_EQ(kIniErrOpen, Ini_ReadFromFile(store.get(), dir.File("missing.ini")));
    EXPECT_EQ(kIniErrOpen, Ini_ReadFromFile(store.get(), dir.Path().string()));
    EXPECT_EQ(kIniErrOpen, Ini_ReadFromFile(store.get(), "/dev/zero")); // would never end
    const std::string fifo = dir.File("fifo");
    ASSERT_EQ(0, ::mkfifo(fifo.c_str(), 0600));
    EXPECT_EQ(kIniErrOpen, Ini_ReadFromFile(store.get(), fifo)); // would wait for a writer
    int v = 0;
    EXPECT_EQ(0, Ini_GetInt(store.get(), "PARAMETER", "POWER", &v));
}

TEST(IniRobust, FailedWriteLeavesOldFile) {
    TempDir dir;
    IniStorePtr store = SmallStore();

    // A target that is a directory, and a directory that does not exist.
    fs::create_directory(dir.Path() / "sub");
    EXPECT_EQ(kIniErrNotWritable, Ini_WriteToFile(store.get(), (dir.Path() / "sub").string()));
    EXPECT_TRUE(fs::is_directory(dir.Path() / "sub"));
    EXPECT_EQ(kIniErrCreate, Ini_WriteToFile(store.get(), dir.File("no/such/dir/x.ini")));

    // Permission bits only stop a user other than root.
    if (!IsRoot()) {
        const std::string ro = dir.File("readonly.ini");
        WriteBytes(ro, "old");
        fs::permissions(ro, fs::perms::owner_read);
        EXPECT_EQ(kIniErrNotWritable, Ini_WriteToFile(store.get(), ro));
        EXPECT_EQ("old", ReadBytes(ro));

        fs::create_directory(dir.Path() / "locked");
        const std::string inLocked = (dir.Path() / "locked" / "p.ini").string();
        WriteBytes(inLocked, "old");
        fs::permissions(dir.Path() / "locked", fs::perms::owner_read | fs::perms::owner_exec);
        EXPECT_LT(Ini_WriteToFile(store.get(), inLocked), 0);
        EXPECT_EQ("old", ReadBytes(inLocked));
        fs::permissions(dir.Path() / "locked", fs::perms::owner_all);
    }
    EXPECT_FALSE(HasTemporaryFiles(dir.Path()));
}

TEST(IniRobust, WriteReplacesTargetAndKeepsPermissions) {
    TempDir dir;
    const std::string path = dir.File("p.ini");
    WriteBytes(path, "old content that is longer than the new one, and more, and more");
    ::chmod(path.c_str(), 0640);
    IniStorePtr store = SmallStore();
    ASSERT_EQ(0, Ini_WriteToFile(store.get(), path));
    EXPECT_EQ("[GENERAL INFO]\r\nFILE TYPE: = \"Parameter File\"\r\n\r\n"
              "[PARAMETER]\r\nPOWER = 500\r\n\r\n",
              ReadBytes(path));
    struct stat st {};
    ASSERT_EQ(0, ::stat(path.c_str(), &st));
    EXPECT_EQ(0640u, st.st_mode & 0777);
    EXPECT_FALSE(HasTemporaryFiles(dir.Path()));

    // A symbolic link keeps pointing at the rewritten file.
    const std::string link = dir.File("link.ini");
    fs::create_symlink(path, link);
    Ini_PutInt(store.get(), "PARAMETER", "POWER", 7);
    ASSERT_EQ(0, Ini_WriteToFile(store.get(), link));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_NE(std::string::npos, ReadBytes(path).find("POWER = 7"));
}

TEST(IniRobust, TenMegabyteFileAndManySections) {
    TempDir dir;
    const std::string path = dir.File("big.ini");
    std::string text;
    text.reserve(11 << 20);
    int sections = 0;
    while (text.size() < (10u << 20)) {
        text += "[TEACH VECTOR " + std::to_string(sections) + "]\r\n";
        for (int k = 0; k < 5; ++k) {
            text += "CELL " + std::to_string(k) + " = " + std::to_string(sections + k) + "\r\n";
        }
        text += "DATA Line0001 = \"" + std::string(80, 'a') + "\"\r\n";
        text += "DATA Line0002 = \"" + std::string(80, 'b') + "\"\r\n";
        ++sections;
    }
    text += std::string(2 << 20, 'x'); // one last line of 2 MB without a line end
    WriteBytes(path, text);

    IniStorePtr store = MakeIniStore();
    ASSERT_EQ(0, Ini_ReadFromFile(store.get(), path));
    int v = 0;
    const std::string last = "teach vector " + std::to_string(sections - 1);
    EXPECT_EQ(1, Ini_GetInt(store.get(), last, "cell 4", &v));
    EXPECT_EQ(sections + 3, v);
    EXPECT_EQ(std::string(80, 'a') + std::string(80, 'b'), GetString(store.get(), last, "DATA"));

    // Thousands of sections put one by one, then rewritten in place.
    IniStorePtr many = MakeIniStore();
    for (int s = 0; s < 20000; ++s) {
        ASSERT_EQ(0, Ini_PutInt(many.get(), "SECTION " + std::to_string(s), "K", s));
    }
    for (int s = 0; s < 20000; ++s) {
        ASSERT_EQ(0, Ini_PutInt(many.get(), "SECTION " + std::to_string(s), "K", -s));
    }
    EXPECT_EQ(1, Ini_GetInt(many.get(), "section 12345", "k", &v));
    EXPECT_EQ(-12345, v);
    ASSERT_EQ(0, Ini_WriteToFile(many.get(), path));
    IniStorePtr back = MakeIniStore();
    ASSERT_EQ(0, Ini_ReadFromFile(back.get(), path));
    EXPECT_EQ(1, Ini_GetInt(back.get(), "SECTION 19999", "K", &v));
    EXPECT_EQ(-19999, v);
}

TEST(IniRobust, BadArgumentsAndNames) {
    Ini_Dispose(nullptr);
    int v = 0;
    char buf[4];
    EXPECT_EQ(kIniErrArgument, Ini_PutInt(nullptr, "S", "T", 1));
    EXPECT_EQ(kIniErrArgument, Ini_GetInt(nullptr, "S", "T", &v));
    EXPECT_EQ(kIniErrArgument, Ini_GetStringIntoBuffer(nullptr, "S", "T", buf, sizeof buf));
    EXPECT_EQ(kIniErrArgument, Ini_WriteToFile(nullptr, "x.ini"));
    EXPECT_EQ(kIniErrArgument, Ini_ReadFromFile(nullptr, "x.ini"));

    IniStorePtr store = MakeIniStore();
    EXPECT_EQ(kIniErrArgument, Ini_GetInt(store.get(), "S", "T", nullptr));
    EXPECT_EQ(kIniErrArgument, Ini_GetStringIntoBuffer(store.get(), "S", "T", buf, 0));
    // Names that would not read back as the same item are refused.
    EXPECT_EQ(kIniErrBadName, Ini_PutInt(store.get(), "S", "A\r\n[X]", 1));
    EXPECT_EQ(kIniErrBadName, Ini_PutInt(store.get(), "S", "A=B", 1));
    EXPECT_EQ(kIniErrBadName, Ini_PutInt(store.get(), "S", "; A", 1));
    EXPECT_EQ(kIniErrBadName, Ini_PutInt(store.get(), "S\nT", "A", 1));
    EXPECT_EQ(kIniErrBadName, Ini_PutString(store.get(), "S", "  ", std::string(100, 'x')));
    EXPECT_EQ(0, Ini_PutInt(store.get(), "S ] x", "A [1]", 1));
    TempDir dir;
    ASSERT_EQ(0, Ini_WriteToFile(store.get(), dir.File("n.ini")));
    IniStorePtr back = MakeIniStore();
    ASSERT_EQ(0, Ini_ReadFromFile(back.get(), dir.File("n.ini")));
    EXPECT_EQ(1, Ini_GetInt(back.get(), "S ] x", "A [1]", &v));
    // A line naming nothing is skipped: a long value of it would come back
    // as pieces of another name.
    const std::string nameless = "[S]\r\n = " + std::string(100, 'y') + "\r\nB = 2\r\n";
    IniStorePtr odd = MakeIniStore();
    ASSERT_EQ(0, Ini_ReadFromMemory(odd.get(), nameless.data(), nameless.size()));
    std::string text;
    ASSERT_EQ(0, Ini_WriteToString(odd.get(), &text));
    EXPECT_EQ("[S]\r\nB = 2\r\n\r\n", text);
}

TEST(IniRobust, LongUnquotedValuesWithBlanksReadBackWhole) {
    // Unquoted values only come from files; their inner blanks must survive
    // the split into pieces of 80 characters.
    for (const std::string& value :
         {std::string(79, 'a') + "\t\t\t" + std::string(90, 'b'),
          std::string(80, 'c') + " " + std::string(10, 'd'), "x" + std::string(200, ' ') + "y",
          "a\"" + std::string(78, 'q') + "\"\"" + std::string(78, 'r') + "\"s",
          std::string(80, 'e') + "\"" + std::string(30, 'f') + "\""}) {
        const std::string text = "[S]\r\nT = " + value + "\r\n";
        IniStorePtr first = MakeIniStore();
        ASSERT_EQ(0, Ini_ReadFromMemory(first.get(), text.data(), text.size()));
        std::string written;
        ASSERT_EQ(0, Ini_WriteToString(first.get(), &written));
        IniStorePtr second = MakeIniStore();
        ASSERT_EQ(0, Ini_ReadFromMemory(second.get(), written.data(), written.size()));
        std::string back;
        EXPECT_EQ(1, Ini_GetString(second.get(), "S", "T", &back, 10000));
        EXPECT_EQ(value, back);
    }
}

TEST(IniRobust, ATagEndingLikeAPieceReadsBackUnderItsOwnName) {
    IniStorePtr store = MakeIniStore();
    ASSERT_EQ(0, Ini_PutInt(store.get(), "S", "X Line1", 5));
    ASSERT_EQ(0, Ini_PutString(store.get(), "S", "Y Line0002", "short"));
    ASSERT_EQ(0, Ini_PutString(store.get(), "S", "Z Line0", ""));
    std::string text;
    ASSERT_EQ(0, Ini_WriteToString(store.get(), &text));
    IniStorePtr back = MakeIniStore();
    ASSERT_EQ(0, Ini_ReadFromMemory(back.get(), text.data(), text.size()));
    int v = 0;
    EXPECT_EQ(1, Ini_GetInt(back.get(), "S", "X Line1", &v));
    EXPECT_EQ(5, v);
    std::string s;
    EXPECT_EQ(1, Ini_GetString(back.get(), "S", "Y Line0002", &s, 100));
    EXPECT_EQ("short", s);
    EXPECT_EQ(1, Ini_GetString(back.get(), "S", "Z Line0", &s, 100));
    EXPECT_EQ("", s);
    std::string again;
    ASSERT_EQ(0, Ini_WriteToString(back.get(), &again));
    EXPECT_EQ(text, again);
}
