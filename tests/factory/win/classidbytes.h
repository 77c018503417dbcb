// The class IDs as the module stores them on Windows, in the COM layout: word 1 little-endian,
// the two halves of word 2 each little-endian, words 3 and 4 most significant byte first.
#pragma once

namespace QuorvaneTest::ClassIdBytes
{

const unsigned char kProcessorCidBytes[16] = {0x50, 0xDE, 0xE8, 0x74, 0x55, 0x82, 0x53, 0x4F,
                                              0x86, 0xFA, 0xE4, 0x13, 0x2C, 0x93, 0x5A, 0x18};
const unsigned char kControllerCidBytes[16] = {0x65, 0x5B, 0x9D, 0xC3, 0xAF, 0xC7, 0xFB, 0x41,
                                               0x74, 0x3F, 0x4A, 0xC8, 0x31, 0xEB, 0x03, 0xF1};

} // namespace QuorvaneTest::ClassIdBytes
