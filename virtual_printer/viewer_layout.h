#pragma once

#include <QList>

// What the operator arranged in the virtual printer's window, kept for the next run.
struct ViewerLayout
{
    QList<int> panes; // heights of the paper, the journal and the bytes; empty: the default
    int zoom = 0; // the paper's zoom in percent; 0 fits it to the pane

    bool operator==(const ViewerLayout &) const = default;
};
