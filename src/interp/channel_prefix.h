// Channel numbers in statements: the "#n," prefix of print, write, input and line
// input, and the "[#]n" of the file statements.
#pragma once

class C_VMBAS;

// 0 without "#"; the channel when "#", n and "," name an open channel 1-15; 17 otherwise.
[[nodiscard]] int parse_channel_prefix(C_VMBAS& vm, const char*& p);

// "[#]n" with n truncated, as open, close, field, get and put name their channel;
// false when it is not a number in 1-15.
bool read_channel_number(C_VMBAS& vm, const char*& p, int& channel);
