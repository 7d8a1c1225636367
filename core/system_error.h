#pragma once

#include <QString>
#include <sys/types.h>

class QFileDevice;

// The one place where a system error becomes the few Portuguese words the operator reads.
namespace system_error {

// `errnum` as errno gives it ("permissão negada", "disco cheio"...).
[[nodiscard]] QString reason(int errnum);
// The last error of `file`, which Qt reports only as English text.
[[nodiscard]] QString reason(const QFileDevice &file);
// Why what stands at a path, of file type `mode` (from stat), is not a file to read or replace:
// "é uma pasta", "é um dispositivo, não um arquivo comum"...
[[nodiscard]] QString notRegularFile(mode_t mode);

} // namespace system_error
