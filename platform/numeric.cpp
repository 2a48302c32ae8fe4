// Byte swapping; the other numeric helpers are inline in the header.
#include "platform/numeric.h"

void SwapBytes(unsigned short& value) {
  value = static_cast<unsigned short>((value >> 8) | (value << 8));
}
