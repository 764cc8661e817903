// CRC-32 (reflected polynomial 0xEDB88320), slicing by 8. An update step
// only: callers start at 0xFFFFFFFF and complement the result themselves.
#pragma once
#include <cstdint>

extern uint32_t CrcTables[8][256];

// Fills the tables; T0 only while T0[1] is still 0. Runs once at start-up
// before anything else of the system (launcher/process_frame.cpp).
void InitCrcTables();
uint32_t Crc32(uint32_t crc, const void* data, uint64_t length);
