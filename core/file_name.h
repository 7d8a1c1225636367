#pragma once

#include <QByteArray>
#include <QString>

// File names as the system keeps them: bytes. Qt reads and writes names as UTF-8, so a device or
// library named in another encoding would be opened under another name; these keep every byte.
namespace file_name {

// Bytes that are no UTF-8 become U+DC80 to U+DCFF, which encode() turns back into them.
[[nodiscard]] QString decode(const QByteArray &bytes);
[[nodiscard]] QByteArray encode(const QString &name);

// A name under which Qt's own file calls reach `name`: the name itself when Qt writes it as the
// same bytes, else /proc/self/fd/N of a descriptor held open while this lives.
class QtName
{
public:
    explicit QtName(const QString &name);
    ~QtName();
    QtName(const QtName &) = delete;
    QtName &operator=(const QtName &) = delete;

    [[nodiscard]] const QString &name() const { return m_name; }

private:
    QString m_name;
    int m_fd = -1;
};

} // namespace file_name
