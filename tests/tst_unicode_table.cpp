// The checker's table of how code points show, against the ICU of the
// machine the tests run on, for every code point: an ICU whose Unicode data
// moved on makes this fail until scripts/unicode-table is run again.
// ICU is for Linux only here (MinGW has none); the table is the same there.
// Labels: posix
#include "verifier/unicode_table.h"

#include <QTest>
#include <unicode/uchar.h>

namespace
{

using verificateur::Apparence;

// What ICU tells of `c`, in the table's terms.
Apparence selonICU(UChar32 c)
{
    if (c < 0x80)
        return c < 0x20 || c == 0x7F ? Apparence::Invisible : Apparence::Visible;
    if (u_hasBinaryProperty(c, UCHAR_DEFAULT_IGNORABLE_CODE_POINT) ||
        u_hasBinaryProperty(c, UCHAR_NONCHARACTER_CODE_POINT))
        return Apparence::Invisible;
    switch (u_charType(c)) {
    case U_UNASSIGNED:
    case U_FORMAT_CHAR:
    case U_LINE_SEPARATOR:
    case U_PARAGRAPH_SEPARATOR:
    case U_CONTROL_CHAR:
        return Apparence::Invisible;
    case U_SPACE_SEPARATOR:
        return Apparence::Espace;
    default:
        return Apparence::Visible;
    }
}

} // namespace

class TstUnicodeTable : public QObject
{
    Q_OBJECT

private slots:
    void tableAgreesWithIcuOnEveryCodePoint()
    {
        QString ecarts;
        int nombre = 0;
        for (char32_t c = 0; c <= 0x10FFFF; ++c) {
            const Apparence table = verificateur::apparence(c), icu = selonICU(UChar32(c));
            if (table != icu && ++nombre <= 10)
                ecarts += QString(" U+%1 (table %2, ICU %3)")
                              .arg(uint(c), 4, 16, QChar('0'))
                              .arg(int(table))
                              .arg(int(icu));
        }
        QVERIFY2(nombre == 0, qPrintable(QString("%1 code points differ, run scripts/unicode-table "
                                                 "again (ICU %2):%3")
                                             .arg(nombre)
                                             .arg(U_ICU_VERSION)
                                             .arg(ecarts)));
    }

    void pastTheLastCodePointIsInvisible()
    {
        QCOMPARE(verificateur::apparence(0x110000), Apparence::Invisible);
        QCOMPARE(verificateur::apparence(0xFFFFFFFF), Apparence::Invisible);
    }
};

QTEST_GUILESS_MAIN(TstUnicodeTable)
#include "tst_unicode_table.moc"
