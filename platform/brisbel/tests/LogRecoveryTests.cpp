// What a torn, damaged or foreign log does on open and on later calls.
#include "TestFolder.h"

#include "Crc32.h"
#include "LogFile.h"
#include "RecordCodec.h"
#include "StorageFormat.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace brisbel::test {
namespace {

class LogRecovery : public ::testing::Test {
protected:
    std::wstring File() const { return m_folder.FileOf(L"log", 1); }
    std::unique_ptr<Database> Open(DWORD* status = nullptr) {
        return OpenInstance(m_folder.Path(), L"log", status);
    }
    // Ten DWORDs v0..v9 under K, then a 1000-byte blob "blob" holding marker bytes.
    void WriteSample() {
        auto db = Open();
        ASSERT_TRUE(db);
        ASSERT_EQ(db->CreateKey(Path(L"K")), DWORD{TVRDB_OK});
        for (DWORD i = 0; i < 10; ++i) {
            ASSERT_EQ(SetDword(*db, L"K", (L"v" + std::to_wstring(i)).c_str(), i), DWORD{TVRDB_OK});
        }
        std::vector<BYTE> blob(1000, 'M');
        ASSERT_EQ(db->SetValue(Path(L"K"), L"blob", TVRDB_TYPE_BINARY, blob.data(), 1000),
                  DWORD{TVRDB_OK});
    }
    void ExpectSample(Database& db, DWORD count) {
        for (DWORD i = 0; i < 10; ++i) {
            DWORD value = ~0u;
            const DWORD expected = i < count ? TVRDB_OK : TVRDB_E_VALUE_NOT_FOUND;
            EXPECT_EQ(QueryDword(db, L"K", (L"v" + std::to_wstring(i)).c_str(), value), expected);
            if (i < count) {
                EXPECT_EQ(value, i);
            }
        }
    }
    DWORD BlobSize(Database& db) {
        DWORD size = 0;
        const DWORD status = db.QueryValue(Path(L"K"), L"blob", nullptr, nullptr, &size);
        return status == TVRDB_OK ? size : 0;
    }

    TestFolder m_folder;
};

enum class Damage { Zero, Flip, Garbage };

// Bytes [from, to) of a file zeroed (never written), flipped, or overwritten
// with a byte no header field takes.
struct DamageCase {
    const char* what;
    size_t from, to;
    Damage damage;

    void ApplyTo(std::vector<uint8_t>& bytes) const {
        for (size_t i = from; i < to; ++i) {
            bytes[i] = damage == Damage::Zero   ? uint8_t(0)
                       : damage == Damage::Flip ? uint8_t(bytes[i] ^ 0xFF)
                                                : uint8_t(0xEE);
        }
    }
};

TEST_F(LogRecovery, TruncatedTailIsIgnoredAndCutBeforeTheNextAppend) {
    WriteSample();
    auto bytes = ReadFileBytes(File());
    bytes.resize(bytes.size() - 500); // the writer died half way through the blob
    WriteFileBytes(File(), bytes);

    auto db = Open();
    ASSERT_TRUE(db);
    ExpectSample(*db, 10);
    EXPECT_EQ(BlobSize(*db), 0u);
    // Had the torn half stayed behind this record, the next replay would
    // read it as a record and fail.
    ASSERT_EQ(SetDword(*db, L"K", L"after", 42), DWORD{TVRDB_OK});
    db.reset();

    DWORD status = 0;
    db = Open(&status);
    ASSERT_EQ(status, DWORD{TVRDB_OK});
    ExpectSample(*db, 10);
    DWORD value = 0;
    EXPECT_EQ(QueryDword(*db, L"K", L"after", value), DWORD{TVRDB_OK});
    EXPECT_EQ(value, 42u);
}

TEST_F(LogRecovery, CutHeaderIsATornTail) {
    WriteSample();
    auto bytes = ReadFileBytes(File());
    const auto blobRecord = RecordCodec::EncodedSize(format::kSetValue, 1, 4, 1000);
    bytes.resize(bytes.size() - static_cast<size_t>(blobRecord) + 7); // 7 of 12 header bytes
    WriteFileBytes(File(), bytes);
    auto db = Open();
    ASSERT_TRUE(db);
    ExpectSample(*db, 10);
    EXPECT_EQ(BlobSize(*db), 0u);
}

TEST_F(LogRecovery, ZeroTailIsIgnored) {
    WriteSample();
    auto bytes = ReadFileBytes(File());
    bytes.resize(bytes.size() + 4096, 0);
    WriteFileBytes(File(), bytes);

    auto db = Open();
    ASSERT_TRUE(db);
    ExpectSample(*db, 10);
    EXPECT_EQ(BlobSize(*db), 1000u);
    ASSERT_EQ(SetDword(*db, L"K", L"after", 1), DWORD{TVRDB_OK});
    db.reset();
    DWORD status = 0;
    db = Open(&status);
    EXPECT_EQ(status, DWORD{TVRDB_OK});
}

// A power loss while the last record was written leaves it at its full
// length with only some of its sectors on disk; it was never acknowledged.
TEST_F(LogRecovery, DamagedLastRecordIsATornWriteAtOpen) {
    WriteSample();
    const auto sample = ReadFileBytes(File());
    const size_t blobAt =
        sample.size() -
        static_cast<size_t>(RecordCodec::EncodedSize(format::kSetValue, 1, 4, 1000));
    const DamageCase cases[] = {
        {"one payload byte flipped", blobAt + 600, blobAt + 601, Damage::Flip},
        {"sectors of the payload never written", blobAt + 100, blobAt + 612, Damage::Zero},
        {"the header's sector never written", blobAt, blobAt + 12, Damage::Zero},
        {"header and first bytes never written", blobAt, blobAt + 40, Damage::Zero},
        {"the header garbage", blobAt, blobAt + 12, Damage::Garbage},
        {"the checksum alone wrong", blobAt, blobAt + 1, Damage::Flip},
    };
    for (const DamageCase& c : cases) {
        SCOPED_TRACE(c.what);
        auto bytes = sample;
        c.ApplyTo(bytes);
        WriteFileBytes(File(), bytes);

        DWORD status = 0;
        auto db = Open(&status);
        ASSERT_EQ(status, DWORD{TVRDB_OK});
        ASSERT_TRUE(db);
        ExpectSample(*db, 10);
        EXPECT_EQ(BlobSize(*db), 0u);
        // Cut at once, under the lock, so that no other process meets it.
        EXPECT_EQ(ReadFileBytes(File()).size(), blobAt);
        ASSERT_EQ(SetDword(*db, L"K", L"after", 7), DWORD{TVRDB_OK});
        db.reset();

        db = Open(&status);
        ASSERT_EQ(status, DWORD{TVRDB_OK});
        ExpectSample(*db, 10);
        DWORD value = 0;
        EXPECT_EQ(QueryDword(*db, L"K", L"after", value), DWORD{TVRDB_OK});
        EXPECT_EQ(value, 7u);
    }
}

TEST_F(LogRecovery, TornLastRecordCutAtOpenIsNoDamageToAnotherHolder) {
    WriteSample();
    auto holder = Open();
    ASSERT_TRUE(holder);
    // Another process was killed, or the power went, while it appended.
    auto bytes = ReadFileBytes(File());
    const size_t end = bytes.size();
    std::vector<uint8_t> record;
    const std::vector<BYTE> data(2000, 'T');
    RecordCodec::Encode(format::kSetValue, L"K", L"torn", TVRDB_TYPE_BINARY, data.data(),
                        data.size(), record);
    std::fill(record.begin() + 512, record.begin() + 1024, uint8_t(0));
    bytes.insert(bytes.end(), record.begin(), record.end());
    WriteFileBytes(File(), bytes);

    DWORD status = 0;
    auto recovering = Open(&status);
    ASSERT_EQ(status, DWORD{TVRDB_OK});
    EXPECT_EQ(ReadFileBytes(File()).size(), end);
    DWORD value = 0;
    EXPECT_EQ(QueryDword(*holder, L"K", L"v3", value), DWORD{TVRDB_OK});
    EXPECT_EQ(value, 3u);
    ASSERT_EQ(SetDword(*holder, L"K", L"after", 8), DWORD{TVRDB_OK});
    EXPECT_EQ(QueryDword(*recovering, L"K", L"after", value), DWORD{TVRDB_OK});
    EXPECT_EQ(value, 8u);
}

// The same damage with a good record after it hit acknowledged data.
TEST_F(LogRecovery, DamageBeforeTheLastGoodRecordIsReportedCorrupt) {
    WriteSample();
    {
        auto db = Open();
        ASSERT_TRUE(db);
        ASSERT_EQ(SetDword(*db, L"K", L"later", 5), DWORD{TVRDB_OK});
    }
    const auto sample = ReadFileBytes(File());
    const size_t laterSize =
        static_cast<size_t>(RecordCodec::EncodedSize(format::kSetValue, 1, 5, 4));
    const size_t blobAt =
        sample.size() - laterSize -
        static_cast<size_t>(RecordCodec::EncodedSize(format::kSetValue, 1, 4, 1000));
    const DamageCase cases[] = {
        {"one payload byte flipped", blobAt + 600, blobAt + 601, Damage::Flip},
        {"payload sectors zero", blobAt + 100, blobAt + 612, Damage::Zero},
        {"header zero", blobAt, blobAt + 12, Damage::Zero},
        {"header garbage", blobAt, blobAt + 12, Damage::Garbage},
        {"the checksum alone wrong", blobAt, blobAt + 1, Damage::Flip},
    };
    for (const DamageCase& c : cases) {
        SCOPED_TRACE(c.what);
        auto bytes = sample;
        c.ApplyTo(bytes);
        WriteFileBytes(File(), bytes);
        DWORD status = 0;
        EXPECT_FALSE(Open(&status));
        EXPECT_EQ(status, DWORD{TVRDB_E_CORRUPT});
        // Reported, never cut: the diagnosis works on the file as it is.
        EXPECT_EQ(ReadFileBytes(File()), bytes);
    }
}

TEST_F(LogRecovery, FlippedBytesInTheMiddleAreReportedCorrupt) {
    WriteSample();
    {
        auto db = Open();
        ASSERT_TRUE(db);
        ASSERT_EQ(SetDword(*db, L"K", L"later", 5), DWORD{TVRDB_OK});
    }
    auto bytes = ReadFileBytes(File());
    const auto marker = std::search_n(bytes.begin(), bytes.end(), 16, uint8_t('M'));
    ASSERT_NE(marker, bytes.end());
    marker[500] ^= 0x01;
    marker[501] ^= 0x80;
    WriteFileBytes(File(), bytes);

    DWORD status = 0;
    EXPECT_FALSE(Open(&status));
    EXPECT_EQ(status, DWORD{TVRDB_E_CORRUPT});
}

TEST_F(LogRecovery, FlippedCountOfAValueIsReportedCorrupt) {
    WriteSample();
    auto bytes = ReadFileBytes(File());
    // The first record after the header is "create K"; damage its path.
    bytes[sizeof(format::FileHeader) + sizeof(format::RecordHeader) + 2] ^= 0x20;
    WriteFileBytes(File(), bytes);
    DWORD status = 0;
    EXPECT_FALSE(Open(&status));
    EXPECT_EQ(status, DWORD{TVRDB_E_CORRUPT});
}

TEST_F(LogRecovery, RecordsThatNoWriterMakesAreCorrupt) {
    const auto base = [&] {
        WriteSample();
        return ReadFileBytes(File());
    }();
    struct Case {
        const char* what;
        std::vector<uint8_t> record;
    };
    std::vector<Case> cases;
    { // A kind no version writes, with a good checksum.
        std::vector<uint8_t> r;
        RecordCodec::Encode(format::kCreateKey, L"X", {}, 0, nullptr, 0, r);
        r[8] = 9;
        const uint32_t crc = Crc32::Of(r.data() + 4, r.size() - 4);
        std::memcpy(r.data(), &crc, 4);
        cases.push_back({"unknown kind", r});
    }
    { // A DWORD of three bytes, with a good checksum.
        std::vector<uint8_t> r;
        const BYTE three[3] = {1, 2, 3};
        RecordCodec::Encode(format::kSetValue, L"K", L"bad", TVRDB_TYPE_DWORD, three, 3, r);
        cases.push_back({"bad DWORD size", r});
    }
    { // A create-key record for the root.
        std::vector<uint8_t> r;
        RecordCodec::Encode(format::kCreateKey, L"", {}, 0, nullptr, 0, r);
        cases.push_back({"root created", r});
    }
    for (const Case& c : cases) {
        auto bytes = base;
        bytes.insert(bytes.end(), c.record.begin(), c.record.end());
        WriteFileBytes(File(), bytes);
        DWORD status = 0;
        EXPECT_FALSE(Open(&status)) << c.what;
        EXPECT_EQ(status, DWORD{TVRDB_E_CORRUPT}) << c.what;
    }
}

TEST_F(LogRecovery, DamageMetByALaterCallIsReportedEachTime) {
    WriteSample();
    auto reader = Open();
    auto writer = Open();
    ASSERT_TRUE(reader && writer);
    std::vector<BYTE> blob(300, 'Z');
    ASSERT_EQ(writer->SetValue(Path(L"K"), L"z", TVRDB_TYPE_BINARY, blob.data(), 300),
              DWORD{TVRDB_OK});
    writer.reset();
    auto bytes = ReadFileBytes(File());
    bytes[bytes.size() - 10] ^= 0xFF;
    WriteFileBytes(File(), bytes);

    DWORD value = 0;
    EXPECT_EQ(QueryDword(*reader, L"K", L"v1", value), DWORD{TVRDB_E_CORRUPT});
    EXPECT_EQ(SetDword(*reader, L"K", L"v1", 9), DWORD{TVRDB_E_CORRUPT});
    EXPECT_EQ(QueryDword(*reader, L"K", L"v1", value), DWORD{TVRDB_E_CORRUPT});
    // Nothing was appended after the damage.
    EXPECT_EQ(ReadFileBytes(File()).size(), bytes.size());
}

} // namespace
} // namespace brisbel::test
