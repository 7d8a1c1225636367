#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QTest>
#include <tuple>
#include <utility>

// One table row on one line.
template <class... T> void row(const char *name, const T &...columns)
{
    (QTest::newRow(name) << ... << columns);
}

// A table's columns in one line, named by position: a comment above names them. Qt keeps the
// pointer to each name.
inline constexpr const char *kColumnNames[] = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};
template <class... T> void columns()
{
    [&]<std::size_t... I>(std::index_sequence<I...>)
    {
        (QTest::addColumn<T>(kColumnNames[I]), ...);
    }
    (std::index_sequence_for<T...>());
}

// The current row of a table made by columns<T...>(): auto [text, porta] = fetch<QString, int>().
template <class... T> std::tuple<T...> fetch()
{
    return []<std::size_t... I>(std::index_sequence<I...>)
    {
        return std::tuple<T...> {
            *static_cast<T *>(QTest::qData(kColumnNames[I], qMetaTypeId<T>()))...};
    }
    (std::index_sequence_for<T...>());
}

// What readFile() gives for a file that is not there, and writeFile() takes to write none.
inline const QByteArray kMissing = "<missing>";

inline QByteArray readFile(const QDir &dir, const QString &name)
{
    QFile f(dir.filePath(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : kMissing;
}

inline void writeFile(const QDir &dir, const QString &name, const QByteArray &bytes)
{
    QFile f(dir.filePath(name));
    if (bytes != kMissing && (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()))
        qFatal("cannot write %s", qPrintable(name));
}

inline const QString kFailed = QStringLiteral("Houve um problema na execução do comando");

// ESC "K", 37 columns of one byte each: the logo of every authentication.
inline constexpr char kLogoHex[] = "1b4b2500fe008200c600fe00c6008200c200fe00c2008200"
                                   "9e20d2209e008200fa048204fa008200fe";

// The front of the sample check (José, São Paulo, 19/12/2007, R$ 2.345,98, "Obs 1", "Obs 2",
// layout 09080607071005) in its nine TX calls; command `n` (1 to 9) replaced by `changedHex`.
inline QList<QByteArray> sampleFront(int n = 0, const char *changedHex = "")
{
    QList<QByteArray> front;
    for (const char *hex : {"1b2e35393031 4a6f73e9 7d", "1b2e35393032 53e36f205061756c6f 7d",
             "1b2e35393033 313931323037 7d", "1b2e35393034 303030303030323334353938 7d",
             "1b2e35393035 4f62732031 7d", "1b2e35393036 4f62732032 7d", "1b2e35393037 5245414c 7d",
             "1b2e35393038 5245414953 7d", "1b2e35393039 3030304e 3039303830363037303731303035 7d"})
        front << QByteArray::fromHex(hex);
    if (n > 0)
        front[n - 1] = QByteArray::fromHex(changedHex);
    return front;
}
