#pragma once

#include <clocale>
#include <cstdlib>
#include <locale>
#include <string>

// Skips a test that needs a decimal-comma C locale when the machine has none; in CI, whose
// setup generates one (scripts/setup.sh), its absence fails the test instead.
#define ZTEST_NEED_DECIMAL_COMMA_C_LOCALE(locale)                                                   \
    if ((locale).CLocale().empty()) {                                                              \
        if (ztesting::DecimalCommaLocale::Required())                                              \
            FAIL() << "no decimal-comma C locale (de_DE, fr_FR) is installed; scripts/setup.sh makes one"; \
        GTEST_SKIP() << "no decimal-comma C locale (de_DE, fr_FR) is installed";                   \
    }

namespace ztesting {

// Installs a decimal-comma locale while it lives: the global C++ locale always, and the C
// locale (LC_ALL) when one with a decimal comma is installed on the machine.
class DecimalCommaLocale {
public:
    DecimalCommaLocale()
        : mOldCpp(std::locale::global(std::locale(std::locale::classic(), new CommaPunct))),
          mOldC(std::setlocale(LC_ALL, nullptr))
    {
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "fr_FR.UTF-8", "fr_FR.utf8"}) {
            if (std::setlocale(LC_ALL, name) == nullptr) continue;
            if (std::localeconv()->decimal_point[0] == ',') {
                mCLocale = name;
                return;
            }
            std::setlocale(LC_ALL, mOldC.c_str());
        }
    }
    ~DecimalCommaLocale()
    {
        std::setlocale(LC_ALL, mOldC.c_str());
        std::locale::global(mOldCpp);
    }
    DecimalCommaLocale(const DecimalCommaLocale&) = delete;
    DecimalCommaLocale& operator=(const DecimalCommaLocale&) = delete;

    // The name of the decimal-comma C locale in force, or empty when none is installed.
    const std::string& CLocale() const { return mCLocale; }

    // Whether every test must run (CI=true): a missing locale is then a failure.
    static bool Required()
    {
        const char* ci = std::getenv("CI");
        return ci != nullptr && *ci != '\0' && std::string(ci) != "false" && std::string(ci) != "0";
    }

private:
    // A decimal comma for the C++ side of the locale, which every machine can build.
    struct CommaPunct : std::numpunct<char> {
        char do_decimal_point() const override { return ','; }
        char do_thousands_sep() const override { return '.'; }
        std::string do_grouping() const override { return "\3"; }
    };

    std::locale mOldCpp;
    std::string mOldC;
    std::string mCLocale;
};

} // namespace ztesting
