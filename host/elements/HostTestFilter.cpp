#include "host/elements/HostTestFilter.h"

// The filter is a plain value object; its members live in the header. This file keeps the
// one-source-per-class layout of the host folder.
