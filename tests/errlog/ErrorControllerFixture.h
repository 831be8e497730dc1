// The error register writing into a fresh folder, at a fixed moment, with the start-up build values.
#pragma once

#include "errlog/ErrorController.h"

#include "common/Common.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace fs = std::filesystem;

inline std::tm fixedMoment() {
    std::tm t{};
    t.tm_year = 2009 - 1900;
    t.tm_mon = 11;
    t.tm_mday = 6;
    t.tm_hour = 20;
    t.tm_min = 14;
    t.tm_sec = 5;
    return t;
}

inline std::string readBytes(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

class ErrorControllerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(m_temporary.path().empty());
        m_savedDateFormat = ShortDateFormat;
        ShortDateFormat = "dd.MM.yyyy";
        m_errors.LogFileName((m_folder / "Error.log").string());
        m_errors.BuildDate("30.07.2009");
        m_errors.BuildVersion("1.00");
    }

    void TearDown() override {
        ShortDateFormat = m_savedDateFormat;
        fs::permissions(m_folder, fs::perms::owner_all);
    }

    std::string log() const { return readBytes(m_folder / "Error.log"); }

    void add(int32_t type, int32_t code, const std::string& message = "msg",
             const std::string& method = "m") {
        std::string dateTime;
        m_errors.Add(type, code, message, method, dateTime);
    }

    static std::string record(const std::string& dateTime, const std::string& code,
                              const std::string& message, const std::string& method,
                              const std::string& typeName) {
        return "User OS Version: " + GetOSVersionName() +
               "\r\n"
               "Build version:   1.00 (build 30.07.2009)\r\n"
               "Date & Time:     " +
               dateTime +
               "\r\n"
               "Error code:      " +
               code +
               "\r\n"
               "Error message:   " +
               message +
               "\r\n"
               "Method Name:     " +
               method +
               "\r\n"
               "Type             " +
               typeName +
               "\r\n"
               "--------------------------------------------------------------------\r\n"
               " \r\n";
    }

    ScopedEnv m_codePage{"QUEDRIX_CODEPAGE", "1251"};
    TempFolder m_temporary;
    fs::path m_folder{m_temporary.path()};
    std::string m_savedDateFormat;
    ErrorController m_errors{fixedMoment, DateTimeSeparators{"/", ":"}};
};
