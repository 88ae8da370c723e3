#include "core/remembered.h"

namespace {
int g_exportKind = 0;
} // namespace

int Remembered::exportKind() { return g_exportKind; }

void Remembered::setExportKind(int kind) { g_exportKind = kind; }
