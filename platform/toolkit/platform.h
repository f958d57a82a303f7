#pragma once

// The one interface through which the rest of Fennimo reaches the operating
// system and the toolkit.

#include "platform/files/filesystem.h"
#include "fonts.h"
#include "message_box.h"
#include "message_loop.h"
#include "pictures.h"
#include "pointer.h"
#include "property_store.h"
#include "platform/files/separator.h"
#include "units.h"
