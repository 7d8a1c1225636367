// Saves two versions of the check data and of one bank's layout in turn, in the folder given and
// starting with the version given (0 or 1), until it is killed. Prints "ready" as it starts.

#include "check/check_data.h"
#include "layout/layout_table.h"

#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 3)
        return 2;
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    // A long back text keeps each write busy long enough to be cut.
    const check_data::CheckData data[2] = {
        {"237", "R$ 1,00", "Ana", "o1", "o2", "Rio", QString(20000, QLatin1Char('a'))},
        {"341", "R$ 2,00", "Bia", "o3", "o4", "Ita", QString(30000, QLatin1Char('b'))},
    };
    const layout_table::Fields layouts[2] = {
        {"09", "08", "06", "07", "07", "10", "05"},
        {"10", "08", "06", "07", "07", "10", "05"},
    };
    std::puts("ready");
    std::fflush(stdout);
    for (int n = argv[2][0] == '1';; n = 1 - n) {
        if (!check_data::save(dir, data[n]).isEmpty()
            || !layout_table::save(dir, QStringLiteral("237"), layouts[n]).saved())
            return 1;
    }
}
