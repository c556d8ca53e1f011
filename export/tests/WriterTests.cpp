#include "AnsiText.h"
#include "CExportWriter.h"
#include "ExportFixture.h"

#include "FreedMemory.h"
#include "StoreFixture.h"
#include "TestBase64.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace fx = export_fixture;

namespace {

constexpr wchar_t kPassphrase[] = L"export-pass 書き出し";

// A scratch export file; Bytes() reads back everything written.
class ExportFile {
public:
    ExportFile() {
        wchar_t folder[MAX_PATH];
        ::GetTempPathW(MAX_PATH, folder);
        wchar_t path[MAX_PATH];
        ::GetTempFileNameW(folder, L"exp", 0, path);
        m_path = path;
        m_file = ::CreateFileW(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        EXPECT_NE(m_file, INVALID_HANDLE_VALUE);
    }
    ~ExportFile() {
        ::CloseHandle(m_file);
        ::DeleteFileW(m_path.c_str());
    }
    HANDLE Handle() const { return m_file; }
    std::string Bytes() const {
        LARGE_INTEGER size = {};
        ::GetFileSizeEx(m_file, &size);
        std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
        LARGE_INTEGER zero = {};
        ::SetFilePointerEx(m_file, zero, nullptr, FILE_BEGIN);
        DWORD read = 0;
        if (!bytes.empty())
            ::ReadFile(m_file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
        return bytes;
    }

private:
    std::wstring m_path;
    HANDLE m_file = INVALID_HANDLE_VALUE;
};

std::string Ansi(const std::wstring& text) {
    std::string out;
    EXPECT_TRUE(AppendAnsi(text, out));
    return out;
}

// What a text sealed as field kind 5 opens to: its ANSI text, then zeros up
// to its UTF-16 length.
std::vector<BYTE> AnsiPayload(const std::wstring& text) {
    const std::string ansi = Ansi(text);
    std::vector<BYTE> bytes(text.size() * 2, 0);
    std::copy(ansi.begin(), ansi.end(), bytes.begin());
    return bytes;
}

std::vector<std::string> Lines(const std::string& bytes) {
    std::vector<std::string> lines;
    size_t at = 0;
    while (at < bytes.size()) {
        const size_t end = bytes.find("\r\n", at);
        if (end == std::string::npos) {
            lines.push_back(bytes.substr(at));
            break;
        }
        lines.push_back(bytes.substr(at, end - at + 2));
        at = end + 2;
    }
    return lines;
}

// The quoted fields of a line (a backslash before a quote keeps it inside).
std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    size_t i = 0;
    while (i < line.size() && line[i] == '"') {
        std::string field;
        ++i;
        while (i < line.size() && !(line[i] == '"' && line[i - 1] != '\\'))
            field += line[i++];
        fields.push_back(field);
        ++i;
        if (i < line.size() && line[i] == ',') ++i;
    }
    return fields;
}

const WebPageNode& Page(int i) {
    return *FixtureStore().Pages()[static_cast<size_t>(i)];
}

const CDataApl& Application(const std::wstring& name) {
    for (const auto& a : FixtureStore().Applications()) {
        if (a->APLNAME == name) return *a;
    }
    ADD_FAILURE() << "no application";
    static CDataApl none;
    return none;
}

// Runs one writer over the fixture store, with or without passphrase.
template <typename Write>
std::string Written(Write write, WriteResult expected, bool sealed = false) {
    CExportStore& store = FixtureStore();
    store.SetExportPassphrase(sealed ? kPassphrase : L"");
    ExportFile file;
    ExportSink sink(file.Handle());
    CExportWriter writer(store, sink);
    EXPECT_EQ(write(writer), expected);
    store.SetExportPassphrase(L"");
    return file.Bytes();
}

std::string CommonFields(const std::wstring& count, const std::wstring& kind,
                         const std::wstring& name) {
    return Ansi(L"\"1\",\"0\",\"0\",\"" + count +
                L"\",\"会員ログイン \\\"Members\\\"\",\"https://login.example.jp/members\","
                L"\"2026/12/01 09:30:00\",\"ログイン\",\"loginForm\",\"1\",\"0\",\"0\",\"" +
                kind + L"\",\"" + name + L"\",");
}

} // namespace

TEST(ExportWriter, VersionLineAndWebFormOptions) {
    const std::string bytes = Written(
        [](CExportWriter& w) {
            EXPECT_EQ(w.WriteWebFormOptions(), WriteResult::Written);
            return w.WriteVersionLine();
        },
        WriteResult::Written);
    // The version line is written over the start of the file.
    EXPECT_EQ(bytes.substr(0, 15), "\"Version\",\"5\",\r");
    ExportFile file;
    ExportSink sink(file.Handle());
    CExportWriter writer(FixtureStore(), sink);
    ASSERT_EQ(writer.WriteVersionLine(), WriteResult::Written);
    ASSERT_EQ(writer.WriteWebFormOptions(), WriteResult::Written);
    EXPECT_EQ(
        file.Bytes(),
        "\"Version\",\"5\",\r\n\"3\",\"0\",\"0\",\"0\",\"0\",\"1\",\"1\",\"0\",\"0\",\"1\"\r\n");
}

TEST(ExportWriter, NothingToWriteIsNotAFailure) {
    CExportStore empty;
    ExportFile file;
    ExportSink sink(file.Handle());
    CExportWriter writer(empty, sink);
    EXPECT_EQ(writer.WriteWebFormOptions(), WriteResult::Nothing);
    EXPECT_EQ(writer.WritePolicy(33), WriteResult::Nothing);
    EXPECT_EQ(writer.WriteAuthRules(), WriteResult::Nothing);
    EXPECT_EQ(writer.WriteAuthDevice(81), WriteResult::Nothing);
    EXPECT_EQ(writer.WriteAuthDevice(82), WriteResult::Nothing);
    EXPECT_EQ(writer.WriteApplicationItem(nullptr, nullptr, CDataItem()), WriteResult::Nothing);
    EXPECT_EQ(file.Bytes(), "");
    // A failed write is told apart from nothing to write.
    ExportSink closed(INVALID_HANDLE_VALUE);
    CExportWriter failing(FixtureStore(), closed);
    EXPECT_EQ(failing.WriteWebFormOptions(), WriteResult::Failed);
    EXPECT_EQ(failing.WriteVersionLine(), WriteResult::Failed);
    EXPECT_EQ(failing.WriteWebFormItem(Page(0), *Page(0).items[0]), WriteResult::Failed);
}

TEST(ExportWriter, PolicyLines) {
    EXPECT_EQ(Written([](CExportWriter& w) { return w.WritePolicy(33); }, WriteResult::Written),
              "\"2\",\"1\",\"0\",\"1\",\"1\"\r\n");
    EXPECT_EQ(Written([](CExportWriter& w) { return w.WritePolicy(41); }, WriteResult::Written),
              "\"2\",\"9\",\"0\",\"1\",\"5\"\r\n");
    // The policy that could not be decrypted is -1: nothing.
    EXPECT_EQ(Written([](CExportWriter& w) { return w.WritePolicy(33 + fx::kUndecryptablePolicy); },
                      WriteResult::Nothing),
              "");
    const std::string sealed =
        Written([](CExportWriter& w) { return w.WritePolicy(41); }, WriteResult::Written, true);
    const auto fields = Fields(sealed);
    ASSERT_EQ(fields.size(), 5u);
    const OpenedField opened = OpenSealedField(fields[4], kPassphrase);
    ASSERT_TRUE(opened.ok);
    EXPECT_EQ(opened.clear, (std::vector<BYTE>{'5', 0}));
    EXPECT_EQ(sealed.substr(sealed.size() - 3), "\"\r\n");
}

TEST(ExportWriter, ApplicationOptionsLine) {
    EXPECT_EQ(
        Written([](CExportWriter& w) { return w.WriteApplicationOptions(); }, WriteResult::Written),
        "\"7\",\"0\",\"0\",\"0\",\"1\",\"0\",\"1\",\r\n");
}

TEST(ExportWriter, WebFormLinesOfEveryControlKind) {
    const std::string bytes =
        Written([](CExportWriter& w) { return w.WriteWebFormItem(Page(0), *Page(0).items[0]); },
                WriteResult::Written);
    const auto lines = Lines(bytes);
    ASSERT_EQ(lines.size(), 14u);
    EXPECT_EQ(lines[0], CommonFields(L"10", L"0", L"userid") + "\"taro\\\"yamada\",\"32\"\r\n");
    // The password unsealed: quote and CR LF escaped, the lone CR dropped,
    // comma and Japanese text as they are.
    EXPECT_EQ(lines[1], CommonFields(L"10", L"1", L"password") +
                            Ansi(L"\"pa\\\"ss\\\\nw0,rd合言葉\",\"-1\"\r\n"));
    EXPECT_EQ(lines[2],
              CommonFields(L"15", L"3", L"plan") + "\"0\",\"2\",\"a\",\"1\",\"b\",\"0\",\r\n");
    EXPECT_EQ(lines[3], CommonFields(L"14", L"4", L"keep") + "\"1\",\"1\",\"on\",\"1\",\r\n");
    EXPECT_EQ(lines[4],
              CommonFields(L"15", L"5", L"lang") +
                  Ansi(L"\"0\",\"2\",\"ja\",\"1\",\"日本語\",\"en\",\"0\",\"English\",\r\n"));
    EXPECT_EQ(lines[5], CommonFields(L"11", L"6", L"memo") +
                            Ansi(L"\"3\",\"40\",\"一行目\\\\n二行目\\\\n三行目\"\r\n"));
    EXPECT_EQ(lines[6], CommonFields(L"8", L"7", L"go") + Ansi(L"\"1\",\"ログイン\"\r\n"));
    EXPECT_EQ(lines[7], CommonFields(L"8", L"8", L"img") + Ansi(L"\"0\",\"送信\"\r\n"));
    // Controls without a value record: the common fields only.
    EXPECT_EQ(lines[8], CommonFields(L"10", L"2", L"upload") + "\r\n");
    EXPECT_EQ(lines[9], CommonFields(L"10", L"9", L"future") + "\r\n");
    EXPECT_EQ(lines[10], CommonFields(L"10", L"-1", L"typeless") + "\r\n");
    EXPECT_EQ(lines[11], CommonFields(L"13", L"3", L"noelements") + "\"0\",\"0\",\r\n");
}

TEST(ExportWriter, ACp932LineIsWrittenInTheCodePage) {
    const auto lines = Lines(
        Written([](CExportWriter& w) { return w.WriteWebFormItem(Page(0), *Page(0).items[0]); },
                WriteResult::Written));
    ASSERT_GE(lines.size(), 5u);
    // "日本語" of the select control, byte for byte.
    EXPECT_NE(lines[4].find("\"\x93\xfa\x96\x7b\x8c\xea\""), std::string::npos);
    // No byte of the file is a "?" standing for a character.
    for (const auto& line : lines)
        EXPECT_EQ(line.find('?'), std::string::npos) << line;
}

TEST(ExportWriter, ATrailingBackslashOrSoLooksLikeAnEscapedQuote) {
    const auto lines = Lines(
        Written([](CExportWriter& w) { return w.WriteWebFormItem(Page(0), *Page(0).items[0]); },
                WriteResult::Written));
    ASSERT_EQ(lines.size(), 14u);
    // "ソ" is 83 5C in code page 932: its trail byte is a backslash, right
    // before the field's closing quote. The format has no escape for it.
    EXPECT_EQ(lines[12], CommonFields(L"10", L"0", L"katakana") + "\"\x83\x5c\",\"-1\"\r\n");
    EXPECT_EQ(lines[13], CommonFields(L"10", L"0", L"backslash") + "\"C:\\dir\\\",\"-1\"\r\n");
    // A reader that honours backslash + quote runs both fields together.
    EXPECT_EQ(Fields(lines[13]).size(), 15u);
}

TEST(ExportWriter, ACharacterOutsideTheCodePageFailsTheExport) {
    const std::string bytes =
        Written([](CExportWriter& w) { return w.WriteWebFormItem(Page(2), *Page(2).items[0]); },
                WriteResult::Failed);
    EXPECT_EQ(bytes, "");
}

TEST(ExportWriter, SealedPasswordsOpenToTheirAnsiText) {
    const auto lines = Lines(
        Written([](CExportWriter& w) { return w.WriteWebFormItem(Page(0), *Page(0).items[0]); },
                WriteResult::Written, true));
    ASSERT_GE(lines.size(), 2u);
    const auto fields = Fields(lines[1]);
    ASSERT_EQ(fields.size(), 16u);
    EXPECT_EQ(fields[15], "-1");
    const OpenedField opened = OpenSealedField(fields[14], kPassphrase);
    ASSERT_TRUE(opened.ok) << fields[14];
    // The password as stored, byte for byte: not the file's escaped form.
    EXPECT_EQ(opened.clear, AnsiPayload(fx::kRichPassword));
    // The texts around it are the same as without passphrase.
    EXPECT_EQ(lines[0], CommonFields(L"10", L"0", L"userid") + "\"taro\\\"yamada\",\"32\"\r\n");
}

TEST(ExportWriter, EmptyAndUnreadablePasswordsAreEmptyFields) {
    const auto lines = Lines(
        Written([](CExportWriter& w) { return w.WriteWebFormItem(Page(0), *Page(0).items[1]); },
                WriteResult::Written));
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_NE(lines[0].find("\"1\",\"empty\",\"\",\"-1\"\r\n"), std::string::npos);
    EXPECT_NE(lines[1].find("\"1\",\"broken\",\"\",\"-1\"\r\n"), std::string::npos);
    EXPECT_NE(lines[2].find("\"1\",\"after\",\"after-pass\",\"-1\"\r\n"), std::string::npos);
}

TEST(ExportWriter, RuleAndTouchLines) {
    const std::string bytes =
        Written([](CExportWriter& w) { return w.WriteAuthRules(); }, WriteResult::Written);
    const auto lines = Lines(bytes);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "\"4\",\"0\",\"0\",\"0\",\"01000000\",\"2\"\r\n");
    std::string passCode;
    for (int i = 0; i < 24; ++i) {
        char pair[3];
        std::snprintf(pair, sizeof pair, "%02x", 0x10 + i);
        passCode += pair;
    }
    const std::string head =
        "\"8\",\"0\",\"0\",\"0\",\"3100\"\"256\",\"65280\",\"" + passCode + "\",\"1048576\",\"";
    ASSERT_EQ(lines[1].substr(0, head.size()), head);
    // The 1 MB bitmap as base64, whole.
    const std::string tail = lines[1].substr(head.size());
    ASSERT_EQ(tail.substr(tail.size() - 4), "\",\r\n");
    std::vector<BYTE> bitmap;
    ASSERT_TRUE(DecodeBase64(tail.substr(0, tail.size() - 4), bitmap));
    EXPECT_EQ(bitmap, FixtureStore().Touch().bitmap);
}

TEST(ExportWriter, SealedRuleAndTouchFieldsOpen) {
    const auto lines = Lines(
        Written([](CExportWriter& w) { return w.WriteAuthRules(); }, WriteResult::Written, true));
    ASSERT_EQ(lines.size(), 2u);
    const auto rule = Fields(lines[0]);
    ASSERT_EQ(rule.size(), 6u);
    EXPECT_EQ(OpenSealedField(rule[4], kPassphrase).clear, (std::vector<BYTE>{1, 0, 0, 0}));
    EXPECT_EQ(OpenSealedField(rule[5], kPassphrase).clear, (std::vector<BYTE>{'2', 0}));
    const auto touch = Fields(lines[1]);
    ASSERT_EQ(touch.size(), 10u);
    EXPECT_EQ(OpenSealedField(touch[4], kPassphrase).clear, (std::vector<BYTE>{'1', 0}));
    EXPECT_EQ(touch[5], "256");
    const OpenedField bitmap = OpenSealedField(touch[9], kPassphrase);
    ASSERT_TRUE(bitmap.ok);
    EXPECT_EQ(bitmap.clear.size(), static_cast<size_t>(fx::kBitmapBytes));
}

TEST(ExportWriter, DeviceLines) {
    EXPECT_EQ(Written([](CExportWriter& w) { return w.WriteAuthDevice(81); }, WriteResult::Written),
              "\"5\",\"1\",\"0\",\"1\",\"35343030303030\",\r\n");
    EXPECT_EQ(Written([](CExportWriter& w) { return w.WriteAuthDevice(82); }, WriteResult::Written),
              "\"5\",\"2\",\"0\",\"1\",\"a1b2c3d4\",\r\n\"5\",\"2\",\"2\",\"1\",\"0f1e2d\",\r\n");
    EXPECT_EQ(Written([](CExportWriter& w) { return w.WriteAuthDevice(83); }, WriteResult::Written),
              Ansi(L"\"5\",\"3\",\"1\",\"1\",\"fe01\",\"PaSoRi RC-S380\","
                   L"\"IDm \\\"0123\\\",\\\\n456789AB 社員証\",\r\n"));
    EXPECT_EQ(
        Written([](CExportWriter& w) { return w.WriteAuthDevice(84); }, WriteResult::Written),
        "\"5\",\"4\",\"2\",\"1\",\"55aa55aa\",\"USB \\\"DISK\\\", 2.0\",\"Serial 7F3A-0001\",\r\n");
    EXPECT_EQ(Written([](CExportWriter& w) { return w.WriteAuthDevice(85); }, WriteResult::Written),
              Ansi(L"\"5\",\"5\",\"1\",\"1\",\"c0ffee\",\"SDカードリーダー\",\"容量 32GB\",\r\n"));
    const auto sealed = Fields(Written([](CExportWriter& w) { return w.WriteAuthDevice(83); },
                                       WriteResult::Written, true));
    ASSERT_EQ(sealed.size(), 7u);
    EXPECT_EQ(OpenSealedField(sealed[4], kPassphrase).clear, (std::vector<BYTE>{0xfe, 0x01}));
    // Name and information sealed as stored, unescaped.
    EXPECT_EQ(OpenSealedField(sealed[5], kPassphrase).clear, AnsiPayload(fx::kFelicaDeviceName));
    EXPECT_EQ(OpenSealedField(sealed[6], kPassphrase).clear, AnsiPayload(fx::kFelicaDeviceInfo));
    const auto usb = Fields(Written([](CExportWriter& w) { return w.WriteAuthDevice(84); },
                                    WriteResult::Written, true));
    ASSERT_EQ(usb.size(), 7u);
    EXPECT_EQ(OpenSealedField(usb[5], kPassphrase).clear, AnsiPayload(fx::kDeviceTexts[1].name));
}

TEST(ExportWriter, ApplicationControlLines) {
    const CDataApl& app = Application(fx::kApplicationName);
    const CDataCaption& caption = *app.captions[0];
    const CDataItem& item = *caption.items[0];
    const auto lines = Lines(
        Written([&](CExportWriter& w) { return w.WriteApplicationItem(&app, &caption, item); },
                WriteResult::Written));
    ASSERT_EQ(lines.size(), 4u);
    const std::wstring head =
        L"\"6\",\"0\",\"0\",\"12\",\"経費精算システム\",\"ログオン - 経費精算\","
        L"\"経理\",\"1\",\"1\",\"6553650\",\"3007\",";
    EXPECT_EQ(lines[0], Ansi(head + L"\"1\",\"1001\",\"user01\",\"0\",\"0\",\r\n"));
    EXPECT_EQ(lines[1],
              Ansi(head + L"\"2\",\"1002\",\"keihi\\\"20,26\\\\n経費\",\"0\",\"0\",\r\n"));
    EXPECT_EQ(lines[2], Ansi(head + L"\"3\",\"1003\",\"\",\"1\",\"1\",\r\n"));
    EXPECT_EQ(lines[3], Ansi(head + L"\"5\",\"1\",\"OK\",\"0\",\"0\",\r\n"));

    const auto sealed = Fields(Lines(
        Written([&](CExportWriter& w) { return w.WriteApplicationItem(&app, &caption, item); },
                WriteResult::Written, true))[1]);
    ASSERT_EQ(sealed.size(), 16u);
    const OpenedField password = OpenSealedField(sealed[13], kPassphrase);
    ASSERT_TRUE(password.ok);
    EXPECT_EQ(password.clear, AnsiPayload(fx::kApplicationPassword));
    EXPECT_EQ(Written([&](CExportWriter& w) { return w.WriteApplicationItem(&app, nullptr, item); },
                      WriteResult::Nothing),
              "");
}

TEST(ExportWriter, TheApplicationPasswordLeavesNoEscapedCopyBehind) {
    const CDataApl& app = Application(fx::kApplicationName);
    const CDataCaption& caption = *app.captions[0];
    const CDataItem& item = *caption.items[0];
    // The end of the password's escaped form, up to the end of its text.
    const MaskedText escapedEnd({L",26\\\\n経費", std::wstring_view(L"\0", 1)});
    for (bool sealed : {true, false}) {
        std::string bytes =
            Written([&](CExportWriter& w) { return w.WriteApplicationItem(&app, &caption, item); },
                    WriteResult::Written, sealed);
        ::SecureZeroMemory(bytes.data(), bytes.size());
        EXPECT_FALSE(escapedEnd.FoundInMemory()) << (sealed ? "sealed" : "unsealed");
    }
}

TEST(ExportWriter, ApplicationTextsAreEscaped) {
    CDataApl app;
    app.APLNAME = L"A\"pp";
    CDataCaption caption;
    caption.CAPTION = L"line\r\nbreak\n";
    CDataItem item;
    item.controls.push_back(std::make_unique<CDataCtrl>(1, 7, L"say \"x\"\r", 3));
    const std::string bytes =
        Written([&](CExportWriter& w) { return w.WriteApplicationItem(&app, &caption, item); },
                WriteResult::Written);
    EXPECT_EQ(bytes,
              "\"6\",\"0\",\"0\",\"12\",\"A\\\"pp\",\"line\\\\nbreak\\\\n\",\" \",\"0\",\"2\","
              "\"0\",\"7\",\"1\",\"7\",\"say \\\"x\\\"\",\"3\",\"3\",\r\n");
}

#include "ExportBatch.h"

namespace {

std::vector<SectionWrite> FixtureSections() {
    std::vector<SectionWrite> sections;
    sections.push_back([](CExportWriter& w) { return w.WriteVersionLine(); });
    for (int p = 0; p < 2; ++p) {
        for (const auto& item : Page(p).items) {
            const WebItemNode* node = item.get();
            sections.push_back(
                [p, node](CExportWriter& w) { return w.WriteWebFormItem(Page(p), *node); });
        }
    }
    for (int type = 33; type <= 41; ++type) {
        sections.push_back([type](CExportWriter& w) { return w.WritePolicy(type); });
    }
    sections.push_back([](CExportWriter& w) { return w.WriteAuthRules(); });
    for (int type = 81; type <= 85; ++type) {
        sections.push_back([type](CExportWriter& w) { return w.WriteAuthDevice(type); });
    }
    const CDataApl& app = Application(fx::kApplicationName);
    sections.push_back([&app](CExportWriter& w) {
        return w.WriteApplicationItem(&app, app.captions[0].get(), *app.captions[0]->items[0]);
    });
    sections.push_back([](CExportWriter& w) { return w.WriteApplicationOptions(); });
    return sections;
}

// Lines of two exports are the same when every plain field is equal and
// every sealed field opens to the same clear bytes.
void ExpectSameExport(const std::string& a, const std::string& b) {
    const auto linesA = Lines(a);
    const auto linesB = Lines(b);
    ASSERT_EQ(linesA.size(), linesB.size());
    for (size_t i = 0; i < linesA.size(); ++i) {
        const auto fieldsA = Fields(linesA[i]);
        const auto fieldsB = Fields(linesB[i]);
        ASSERT_EQ(fieldsA.size(), fieldsB.size()) << linesA[i];
        for (size_t f = 0; f < fieldsA.size(); ++f) {
            const OpenedField openA = OpenSealedField(fieldsA[f], kPassphrase);
            const OpenedField openB = OpenSealedField(fieldsB[f], kPassphrase);
            EXPECT_EQ(openA.ok, openB.ok) << i << "/" << f;
            if (openA.ok) {
                EXPECT_EQ(openA.clear, openB.clear) << i << "/" << f;
            } else {
                EXPECT_EQ(fieldsA[f], fieldsB[f]) << i << "/" << f;
            }
        }
    }
}

} // namespace

TEST(ExportBatch, SealingAheadWritesWhatTheWritersGiveOneByOne) {
    CExportStore& store = FixtureStore();
    store.SetExportPassphrase(kPassphrase);
    const auto sections = FixtureSections();
    ExportFile direct;
    {
        ExportSink sink(direct.Handle());
        CExportWriter writer(store, sink);
        for (const auto& section : sections)
            ASSERT_NE(section(writer), WriteResult::Failed);
    }
    ExportFile batched;
    ExportSink sink(batched.Handle());
    std::vector<size_t> progress;
    const BatchOutcome outcome = WriteSections(
        store, sink, sections, [&progress](size_t done) { progress.push_back(done); },
        LibraryCryptApi(), 4, 5);
    store.SetExportPassphrase(L"");
    EXPECT_EQ(outcome.result, WriteResult::Written);
    EXPECT_EQ(outcome.sectionsDone, sections.size());
    EXPECT_GT(outcome.sealedFields, 10u);
    ASSERT_EQ(progress.size(), sections.size());
    EXPECT_EQ(progress.back(), sections.size());
    ExpectSameExport(direct.Bytes(), batched.Bytes());
}

TEST(ExportBatch, AFailedSectionEndsTheExport) {
    CExportStore& store = FixtureStore();
    std::vector<SectionWrite> sections = {
        [](CExportWriter& w) { return w.WriteVersionLine(); },
        [](CExportWriter& w) { return w.WriteWebFormItem(Page(2), *Page(2).items[0]); },
        [](CExportWriter& w) { return w.WriteWebFormOptions(); }};
    for (const wchar_t* passphrase : {L"", kPassphrase}) {
        store.SetExportPassphrase(passphrase);
        ExportFile file;
        ExportSink sink(file.Handle());
        const BatchOutcome outcome = WriteSections(store, sink, sections);
        EXPECT_EQ(outcome.result, WriteResult::Failed);
        EXPECT_EQ(outcome.sectionsDone, 1u);
        EXPECT_EQ(file.Bytes(), "\"Version\",\"5\",\r\n");
    }
    store.SetExportPassphrase(L"");
}
