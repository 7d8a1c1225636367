#pragma once

#include <QString>

class QFileDevice;

// The one place where a system error becomes the few Portuguese words the operator reads.
namespace system_error {

// `errnum` as errno gives it ("permissão negada", "disco cheio"...).
[[nodiscard]] QString reason(int errnum);
// The last error of `file`, which Qt reports only as English text.
[[nodiscard]] QString reason(const QFileDevice &file);

} // namespace system_error
