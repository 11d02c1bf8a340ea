// The ranges and viewing angles that graph2d and graph3d keep between graphs. One set
// lives in the interpreter; clearing the program's state puts them back to these
// defaults.
#pragma once

struct GraphRange {
    double min = -2.0;
    double max = 2.0;
};

struct Graph2dSettings {
    GraphRange x;
    GraphRange y;
};

struct Graph3dSettings {
    double hroll = -0.5235987755982988;  // -pi/6: turned about the vertical axis
    double vroll = 0.2617993877991494;   // pi/12: seen a little from above
    GraphRange x;
    GraphRange y;
    GraphRange z;
};

struct GraphSettings {
    Graph2dSettings graph2d;
    Graph3dSettings graph3d;
};
