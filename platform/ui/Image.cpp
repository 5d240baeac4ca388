#include "platform/ui/Image.h"

namespace plat {

Image::Image() : Control("Image") { SetTabStop(false); }

} // namespace plat
