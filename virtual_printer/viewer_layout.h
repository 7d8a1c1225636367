#pragma once

#include <QList>
#include <algorithm>

// What the operator arranged in the virtual printer's window, kept for the next run.
struct ViewerLayout
{
    QList<int> panes; // heights of the paper, the journal and the bytes; empty: the default
    int zoom = 0; // the paper's zoom in percent; 0 fits it to the pane

    // QList's own == hands an empty list's null data to memcmp, which the sanitizer refuses.
    bool operator==(const ViewerLayout &o) const
    {
        return zoom == o.zoom && std::ranges::equal(panes, o.panes);
    }
};
