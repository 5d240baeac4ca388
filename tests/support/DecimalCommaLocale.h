#pragma once

#include <clocale>
#include <locale>
#include <string>

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
