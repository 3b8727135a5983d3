#pragma once

#include <clocale>
#include <string>

namespace testsupport {

// Switches the process to a locale with a decimal comma (de_DE.UTF-8) while it lives, so that a
// test can show that numbers in files ignore the user's locale.
class DecimalCommaLocale {
  public:
    DecimalCommaLocale() : m_previous(std::setlocale(LC_ALL, nullptr)) {
        m_ok = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
    }
    ~DecimalCommaLocale() { std::setlocale(LC_ALL, m_previous.c_str()); }
    DecimalCommaLocale(const DecimalCommaLocale &) = delete;
    DecimalCommaLocale &operator=(const DecimalCommaLocale &) = delete;

    // False when the locale is not installed.
    bool ok() const { return m_ok; }

  private:
    std::string m_previous;
    bool m_ok = false;
};

} // namespace testsupport
