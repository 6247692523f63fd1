#pragma once

#include <QString>

// Result of asking the server about an operator and password.
struct LoginOutcome {
    bool ok = false;
    QString token;
    QString operatorName;
    QString error; // the message for the operator when !ok
};
