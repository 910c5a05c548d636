#pragma once

#include "settings/DecimalKeyFilter.h"

// Key press filter of signed decimal fields: as DecimalKeyFilter, plus one minus sign.
class SignedDecimalKeyFilter : public DecimalKeyFilter {
    Q_OBJECT

public:
    explicit SignedDecimalKeyFilter(QObject* parent = nullptr) : DecimalKeyFilter(true, parent) {}
};
