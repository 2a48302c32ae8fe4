#include "platform/numeric.h"

void SwapBytes(unsigned short& value) {
  value = static_cast<unsigned short>((value >> 8) | (value << 8));
}
