#pragma once

#include <QIcon>
#include <QPixmap>

// The program's own pictures, drawn with QPainter when first asked for.

// The pictures of the navigation trees, 16 x 16 with a transparent background.
enum NavPicture : int {
    PIC_PRIMARY = 0,            // a green bar
    PIC_SECONDARY = 1,          // a blue bar
    PIC_DATA_SET = 2,           // a small cross with a yellow centre
    PIC_PAGE = 3,               // grey lines
    PIC_ROOT = 4,               // a black square
    PIC_SELECTED_DATA_SET = 5,  // a small cross with a red centre
    PIC_SELECTED_PAGE = 6,      // black lines
    PIC_ANALYSIS = 9,           // a grid of dots
    PIC_DATA = 10,              // a grey cross
};

QPixmap NavigationPicture(NavPicture which);

// A tree item's icon: `normal`, and `selected` while the item is selected.
QIcon NavigationIcon(NavPicture normal, NavPicture selected);

// The pictures over the three edits of the Parameters page's Time Sub-Range group, 24 x 16
// with a transparent background.
enum SubRangePicture : int {
    SUBRANGE_LOW = 0,        // a short span under a ragged line: the sweep's shortest length
    SUBRANGE_HIGH = 1,       // a long span: the sweep's longest length
    SUBRANGE_SMOOTHING = 2,  // a smooth curve through a ragged line: the smoothing length
};

QPixmap SubRangePixmap(SubRangePicture which);

// The window icon: a rising market line on a dark chart, at 16, 32 and 64 pixels.
QIcon ApplicationIcon();

// The picture of the About box, 64 x 64.
QPixmap AboutPicture();
