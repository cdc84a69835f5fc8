// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "platform/Error.h"

#include <gtest/gtest.h>
#include <stdexcept>

namespace korvane::platform {
namespace {

// Every form a password takes in a connection text, and in a driver's message that quotes one:
// no character of it survives, and what follows it does.
TEST(Error, PasswordsAreMaskedInEveryFormTheyTake)
{
    const struct
    {
        const char16_t* text;
        const char16_t* masked;
    } cases[] = {
        {u"Provider=SQLNCLI10;User ID=sa;Password=Pk@62913057;Initial Catalog=clinic",
         u"Provider=SQLNCLI10;User ID=sa;Password=****;Initial Catalog=clinic"},
        {u"Jet OLEDB:Database Password='Pk@;x''y';Data Source=C:\\K\\db.mdb",
         u"Jet OLEDB:Database Password=****;Data Source=C:\\K\\db.mdb"},
        {u"PASSWORD = \"a\"\"b;c\";x", u"PASSWORD = ****;x"},
        {u"DRIVER={X};UID=sa;PWD={p;w}}d};DATABASE=c", u"DRIVER={X};UID=sa;PWD=****;DATABASE=c"},
        // A quote that is never closed hides the rest, as a reader of the text would take it.
        {u"Data Source=h;Password='Pk@62913057;Initial Catalog=clinic", u"Data Source=h;Password=****"},
        {u"pwd={Pk@6291;x", u"pwd=****"},
        // A driver's words around a connection text it could not use.
        {u"invalid integer value \"5433;User ID=sa;Password=Pk@62913057;Initial Catalog=clinic\" for option \"port\"",
         u"invalid integer value \"5433;User ID=sa;Password=****;Initial Catalog=clinic\" for option \"port\""},
        {u"Password=Pk@62913057\r\nnext line", u"Password=****\r\nnext line"},
        {u"無法連線（Password=Pk@1）：逾時", u"無法連線（Password=****"},
        {u"no secret here", u"no secret here"},
    };
    for (const auto& c : cases) {
        const QString text = QString::fromUtf16(c.text);
        EXPECT_EQ(maskPasswords(text), QString::fromUtf16(c.masked)) << qPrintable(text);
        EXPECT_EQ(Error(text).description(), QString::fromUtf16(c.masked)) << qPrintable(text);
    }
    // A library's own words come after the sentence that says what they mean for the clinic.
    EXPECT_TRUE(describe(std::make_exception_ptr(std::runtime_error("login failed: PWD=Pk@62913057;")))
                    .endsWith(QStringLiteral("（login failed: PWD=****;）")));
}

} // namespace
} // namespace korvane::platform
