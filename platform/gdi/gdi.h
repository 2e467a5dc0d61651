// Everything of the drawing layer in one include.
#pragma once

#include "platform/gdi/bitmap.h"
#include "platform/gdi/blit.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/draw_text.h"
#include "platform/gdi/font.h"
#include "platform/gdi/gdi_types.h"
#include "platform/gdi/image_loader.h"
#include "platform/gdi/objects.h"
#include "platform/gdi/region_object.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/text.h"
