// Helpers shared by the tests: byte strings, hex dumps on failure, conversions of whole texts.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <process.h>
#define TEST_PROCESS_ID _getpid()
#else
#include <unistd.h>
#define TEST_PROCESS_ID getpid()
#endif

using Bytes = std::string;

// The tests read ../samples, golden/ and ../fuzz/corpus from tests/ in the source tree, whose
// place the build gives them: each test program starts there, whatever folder it is run from.
inline const bool IN_THE_TESTS_FOLDER =
    (std::filesystem::current_path(std::filesystem::path(TAMSEL_SOURCE_DIR) / "tests"), true);

// "41 0D 0A" to the bytes it spells.
inline Bytes FromHex(const char* hex) {
    Bytes bytes;
    unsigned value = 0;
    int digits = 0;
    for (const char* p = hex; *p != 0; ++p) {
        char c = *p;
        int nibble = c >= '0' && c <= '9'   ? c - '0'
                     : c >= 'A' && c <= 'F' ? c - 'A' + 10
                     : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                            : -1;
        if (nibble < 0) {
            continue;
        }
        value = value * 16 + static_cast<unsigned>(nibble);
        if (++digits == 2) {
            bytes.push_back(static_cast<char>(value));
            value = 0;
            digits = 0;
        }
    }
    return bytes;
}

inline std::string ToHex(const Bytes& bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string hex;
    for (unsigned char c : bytes) {
        if (!hex.empty()) {
            hex += ' ';
        }
        hex += digits[c >> 4];
        hex += digits[c & 15];
    }
    return hex;
}

// Compares two byte strings; on a difference names the first differing offset and shows both
// around it, as text with escapes and as hex.
inline ::testing::AssertionResult SameBytes(const Bytes& expected, const Bytes& actual) {
    if (expected == actual) {
        return ::testing::AssertionSuccess();
    }
    size_t at = 0;
    while (at < expected.size() && at < actual.size() && expected[at] == actual[at]) {
        ++at;
    }
    size_t from = at > 24 ? at - 24 : 0;
    auto show = [&](const Bytes& b) {
        Bytes part = b.substr(from < b.size() ? from : b.size(), 64);
        std::string text;
        for (unsigned char c : part) {
            if (c == '\r') {
                text += "\\r";
            } else if (c == '\n') {
                text += "\\n";
            } else if (c < 0x20 || c >= 0x7F) {
                char buffer[8];
                std::snprintf(buffer, sizeof buffer, "\\x%02X", c);
                text += buffer;
            } else {
                text += static_cast<char>(c);
            }
        }
        return "\"" + text + "\"\n    hex: " + ToHex(part);
    };
    return ::testing::AssertionFailure()
           << "first difference at byte " << at << " (sizes " << expected.size() << " and "
           << actual.size() << ")\n  expected from byte " << from << ": " << show(expected)
           << "\n  actual   from byte " << from << ": " << show(actual);
}

inline Bytes ReadFileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A fresh folder for the files of one test, named after the test and the process (two runs at
// once never share one), removed afterwards. Names are relative to it; "/" separates folders
// on every platform.
struct TestFolder {
    std::filesystem::path path;

    TestFolder() {
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = "tamsel-";
        name += std::to_string(TEST_PROCESS_ID);
        name += "-";
        name += test->test_suite_name();
        name += "-";
        name += test->name();
        path = std::filesystem::temp_directory_path() / name;
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
    }
    ~TestFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    std::filesystem::path operator/(const std::string& name) const { return path / name; }
    void Write(const std::string& name, const Bytes& bytes) const {
        std::filesystem::create_directories((path / name).parent_path());
        std::ofstream(path / name, std::ios::binary) << bytes;
    }
    Bytes Read(const std::string& name) const { return ReadFileBytes(path / name); }
    bool Has(const std::string& name) const { return std::filesystem::exists(path / name); }
    // The names in `folder`, sorted.
    std::vector<std::string> Files(const std::string& folder = "") const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(path / folder)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }
    // The UTF-16 path of a file, or of a folder with a separator after it.
    std::u16string Path(const std::string& name) const { return (path / name).u16string(); }
    std::u16string FolderPath(const std::string& folder = "") const {
        std::filesystem::create_directories(path / folder);
        return (path / folder).u16string() + u"/";
    }
};
