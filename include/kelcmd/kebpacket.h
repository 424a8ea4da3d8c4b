/**
 * \file kebpacket.h
 * \brief The raw frame of the bus-level exports.
 */
#ifndef KELCMD_KEBPACKET_H
#define KELCMD_KEBPACKET_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#pragma pack(push, 1)
/** The raw frame of the bus-level exports (KEB_SendPacket), in the caller's byte order. */
typedef struct KebPacket {
    uint8_t dest;       /**< The destination: a unit's address, 0 for the PC. */
    uint16_t length;    /**< The data length, at most 1023. */
    uint8_t send;       /**< The sender's address (0, the PC, on sending). */
    uint8_t mtype;      /**< The message type: the command code. */
    uint8_t data[1025]; /**< The data, length bytes of it. */
    uint16_t crc;       /**< The frame's CRC-16 (computed on sending). */
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
