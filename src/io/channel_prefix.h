// The "#n," prefix of print, write, input and line input.
#pragma once

class C_VMBAS;

// 0 without "#"; the channel when "#", n and "," name an open channel 1-15; 17 otherwise.
int parse_channel_prefix(C_VMBAS& vm, const char*& p);
