/* The raw frame of the bus-level exports, in the caller's byte order. */
#ifndef KELCMD_KEBPACKET_H
#define KELCMD_KEBPACKET_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#pragma pack(push, 1)
typedef struct KebPacket {
    uint8_t dest;
    uint16_t length; /* data length, at most 1023 */
    uint8_t send;
    uint8_t mtype;
    uint8_t data[1025];
    uint16_t crc;
} KebPacket;
#pragma pack(pop)

#ifdef __cplusplus
static_assert(sizeof(KebPacket) == 1032, "KebPacket is 1032 bytes");
#else
_Static_assert(sizeof(KebPacket) == 1032, "KebPacket is 1032 bytes");
#endif

#ifdef __cplusplus
}
#endif

#endif
