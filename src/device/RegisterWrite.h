#pragma once

#include <QtGlobal>

// One register and the value to write into it, as a write transaction sends them.
struct RegisterWrite {
    int reg;
    qint32 value;
};
