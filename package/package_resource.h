#pragma once
#include "package/membuf.h"

// The package resource (type 260, name 134) as a read-only stream over the mapped image,
// positioned at its start; an empty stream when the resource is absent. The bytes stay valid
// while the program runs.
vt::imemstream open_package_resource();
