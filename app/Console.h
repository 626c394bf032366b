#pragma once

#include <QString>

// The driver's two ways of talking to the user.

// Prints "vandrel: MESSAGE" on standard error.
void report(const QString& message);

// Writes text to standard output; a failed write is a RunError like any other.
void print(const QString& text);
