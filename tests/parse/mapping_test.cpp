// Paths that give no mapping, and why; the Windows device-name rule.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "parse/mapping.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace velk {

namespace {

std::string temp_path(const char* name) {
    return ::testing::TempDir() + "velk_mapping_test_" + name;
}

void write_file(const std::string& path, const std::string& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

dcm_open_failure failure_of(const std::string& path) {
    return dcm_file_mapping(path.c_str()).failure();
}

TEST(Mapping, EachRefusalNamesItsReason) {
    const std::string file = temp_path("file"), empty = temp_path("empty");
    write_file(file, "bytes");
    write_file(empty, "");
    EXPECT_EQ(failure_of(file), dcm_open_failure::none);
    EXPECT_EQ(dcm_file_mapping(file.c_str()).size(), 5u);
    EXPECT_EQ(failure_of(empty), dcm_open_failure::empty);
    EXPECT_EQ(failure_of(temp_path("missing")), dcm_open_failure::not_found);
    EXPECT_EQ(failure_of(::testing::TempDir()), dcm_open_failure::folder);
    EXPECT_EQ(dcm_file_mapping(static_cast<const char*>(nullptr)).failure(),
              dcm_open_failure::not_found);
    EXPECT_FALSE(dcm_file_mapping(empty.c_str()).is_open());
    // A file that grew since it was empty maps whole.
    write_file(empty, "grown");
    EXPECT_EQ(dcm_file_mapping(empty.c_str()).size(), 5u);
    std::remove(file.c_str());
    std::remove(empty.c_str());
}

#ifndef _WIN32
// A FIFO with no writer would block a plain open for ever.
TEST(Mapping, PipeAndCharacterDeviceAreRefusedWithoutWaiting) {
    const std::string fifo = temp_path("fifo");
    ::unlink(fifo.c_str());
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(failure_of(fifo), dcm_open_failure::device);
    ::unlink(fifo.c_str());
    EXPECT_EQ(failure_of("/dev/zero"), dcm_open_failure::device);
}
#endif

TEST(DevicePath, ReservedNamesAndTheDeviceNamespace) {
    for (const wchar_t* device :
         {L"CON", L"nul", L"Com1", L"LPT9", L"aux.dcm", L"C:\\data\\NUL.txt", L"c:/x/con  .dcm",
          L"COM3:", L"C:PRN", L"CONIN$", L"\\\\.\\COM1", L"\\\\.\\pipe\\velk",
          L"\\\\.\\PhysicalDrive0", L"\\\\?\\GLOBALROOT\\Device\\Null", L"\\??\\C:\\x.dcm"})
        EXPECT_TRUE(dcm_is_device_path(device)) << std::wstring(device).size();
    for (const wchar_t* file :
         {L"C:\\data\\image.dcm", L"console.dcm", L"COM10", L"C:\\CON\\x.dcm", L"nullable", L"LPT",
          L"\\\\server\\share\\x.dcm", L"\\\\?\\C:\\very\\long\\x.dcm",
          L"\\\\?\\UNC\\server\\share\\x.dcm", L"\\\\.\\C:\\x.dcm", L"relative\\file"})
        EXPECT_FALSE(dcm_is_device_path(file)) << std::wstring(file).size();
}

TEST(Mapping, ReasonTexts) {
    EXPECT_STREQ(dcm_open_failure_text(dcm_open_failure::not_found), "no such file");
    EXPECT_STREQ(dcm_open_failure_text(dcm_open_failure::in_use),
                 "is in use by another program that does not share it");
}

}  // namespace

}  // namespace velk
