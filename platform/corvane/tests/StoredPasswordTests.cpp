// A web-form password sealed by TvrCT_Encrypt and kept in a Brisbel database,
// written and read back the way each program of the system does it: the
// add-in stores the sealed bytes as raw data, the manager stores them as
// UTF-16 text (type 2), and the export utility reads every password as text,
// size / 2 characters, and decrypts 2 bytes per character. Whichever wrote
// the value, every reader must get the password back.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Brisbel.h"
#include "CipherFormat.h"
#include "Corvane.h"
#include "Database.h"
#include "KeyPath.h"
#include "TempFolder.h"

namespace {

using Bytes = std::vector<BYTE>;
using brisbel::Database;
using brisbel::KeyPath;

const wchar_t kKey[] = L"WEBFORMDATA\\PAGE001\\ITEM001\\CTRL002";
const wchar_t kValue[] = L"VALUE";

class StoredPassword : public ::testing::Test {
protected:
    void SetUp() override {
        std::wstring identity;
        ASSERT_EQ(DWORD{TVRDB_OK}, Database::IdentityOf(m_folder.Path(), L"user", identity));
        m_db = std::make_unique<Database>(m_folder.Path(), L"user", identity);
        ASSERT_EQ(DWORD{TVRDB_OK}, m_db->Open());
        ASSERT_EQ(DWORD{TVRDB_OK}, KeyPath::Parse(kKey, m_key));
        ASSERT_EQ(DWORD{TVRDB_OK}, m_db->CreateKey(m_key));
    }

    // The add-in: a capacity of 4 x characters + 64 bytes, stored as raw bytes.
    DWORD WriteAsAddIn(const std::wstring& text) {
        const DWORD capacity = static_cast<DWORD>(text.size() * 4 + 64);
        Bytes cipher(capacity, 0);
        DWORD produced = 0;
        const DWORD result = TvrCT_Encrypt(reinterpret_cast<const BYTE*>(text.data()),
                                           static_cast<DWORD>(text.size() * sizeof(wchar_t)),
                                           cipher.data(), capacity, &produced);
        if (result != TVRCT_OK) return result;
        return m_db->SetValue(m_key, kValue, TVRDB_TYPE_BINARY, cipher.data(), produced);
    }

    // The manager: a buffer of c = 4 x characters + 64 UTF-16 units offered as
    // c bytes, stored as text (type 2) with the length the library gave.
    DWORD WriteAsManager(const std::wstring& text) {
        const DWORD c = static_cast<DWORD>(text.size() * 4 + 64);
        std::vector<wchar_t> buffer(c, 0);
        DWORD produced = 0;
        const DWORD result = TvrCT_Encrypt(reinterpret_cast<const BYTE*>(text.data()),
                                           static_cast<DWORD>(text.size() * sizeof(wchar_t)),
                                           reinterpret_cast<BYTE*>(buffer.data()), c, &produced);
        if (result != TVRCT_OK) return result;
        return m_db->SetValue(m_key, kValue, TVRDB_TYPE_STRING,
                              reinterpret_cast<const BYTE*>(buffer.data()), produced);
    }

    // The stored bytes, size query first; empty when the value is missing.
    Bytes Stored() {
        DWORD type = 0, size = 0;
        if (m_db->QueryValue(m_key, kValue, &type, nullptr, &size) != TVRDB_OK || size == 0) {
            return {};
        }
        Bytes data(size, 0);
        if (m_db->QueryValue(m_key, kValue, &type, data.data(), &size) != TVRDB_OK) return {};
        data.resize(size);
        return data;
    }

    // The text up to its first NUL within the produced bytes.
    static std::wstring TextOf(const Bytes& plain, DWORD produced) {
        const auto* text = reinterpret_cast<const wchar_t*>(plain.data());
        const size_t limit = std::min<size_t>(produced, plain.size()) / sizeof(wchar_t);
        size_t chars = 0;
        while (chars < limit && text[chars])
            ++chars;
        return std::wstring(text, chars);
    }

    // The add-in's and the manager's reading: every stored byte, decrypted
    // into 4 x size bytes.
    std::wstring ReadWhole() {
        const Bytes stored = Stored();
        if (stored.empty()) return L"<missing>";
        const DWORD size = static_cast<DWORD>(stored.size());
        Bytes plain(size_t{size} * 8, 0);
        DWORD produced = 0;
        if (TvrCT_Decrypt(stored.data(), size, plain.data(), size * 4, &produced) != TVRCT_OK) {
            return L"<not decrypted>";
        }
        return TextOf(plain, produced);
    }

    // The export's reading: the value as text of size / 2 characters, then
    // 2 x characters bytes decrypted into a buffer of as many bytes.
    std::wstring ReadAsText() {
        const Bytes stored = Stored();
        if (stored.empty()) return L"<missing>";
        const size_t chars = stored.size() / sizeof(wchar_t);
        std::wstring text(reinterpret_cast<const wchar_t*>(stored.data()), chars);
        const DWORD bytes = static_cast<DWORD>(chars * sizeof(wchar_t));
        Bytes plain(bytes + sizeof(wchar_t), 0);
        DWORD produced = 0;
        if (TvrCT_Decrypt(reinterpret_cast<const BYTE*>(text.data()), bytes, plain.data(), bytes,
                          &produced) != TVRCT_OK) {
            return L"<not decrypted>";
        }
        return TextOf(plain, produced);
    }

    TempFolder m_folder;
    std::unique_ptr<Database> m_db;
    KeyPath m_key;
};

const std::wstring kPasswords[] = {L"a", L"s3cret", L"p\u00e4ss\u30ef\u30fc\u30c9",
                                   L"0123456789abcdefghijklmnopqrstuvw"};

TEST_F(StoredPassword, WrittenByTheAddInEveryReaderGetsItBack) {
    for (const std::wstring& password : kPasswords) {
        ASSERT_EQ(DWORD{0}, WriteAsAddIn(password));
        EXPECT_EQ(0u, Stored().size() % sizeof(wchar_t)) << password.size();
        EXPECT_EQ(password, ReadWhole());
        EXPECT_EQ(password, ReadAsText());
    }
}

TEST_F(StoredPassword, WrittenByTheManagerAsTextEveryReaderGetsItBack) {
    for (const std::wstring& password : kPasswords) {
        // The manager does not look at this result: a refused value would
        // vanish without a word.
        EXPECT_EQ(DWORD{0}, WriteAsManager(password)) << password.size();
        EXPECT_EQ(password, ReadWhole());
        EXPECT_EQ(password, ReadAsText());
    }
}

TEST_F(StoredPassword, TheCallersMarginsHoldTheSealedText) {
    // The margins the callers give, against the length the library asks for.
    for (const std::wstring& password : kPasswords) {
        const DWORD plain = static_cast<DWORD>(password.size() * sizeof(wchar_t));
        DWORD needed = 0;
        ASSERT_EQ(TVRCT_OK, TvrCT_Encrypt(reinterpret_cast<const BYTE*>(password.data()), plain,
                                          nullptr, 0, &needed));
        EXPECT_EQ(plain + corvane::format::kUserOverhead, needed);
        EXPECT_EQ(0u, needed % sizeof(wchar_t));
        EXPECT_LE(needed, password.size() * 4 + 64); // add-in and manager
        EXPECT_LE(needed, 2 * plain + 64);
    }
}

} // namespace
