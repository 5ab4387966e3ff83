/*
 * slots.h - walking the slot arrays of the model.
 *
 * A walk starts at entry 0 and stops after the first entry without SLOT_NEXT.
 * The vector's own size bounds every walk as well, so a flags word that lies
 * can never lead a walk past the end of the storage.
 *
 * SPDX-License-Identifier: GPL-3.0-or-later
 * Copyright The Vornic developers
 */
#ifndef VORNIC_MODEL_SLOTS_H
#define VORNIC_MODEL_SLOTS_H

#include "vornic.h"

#include <cstddef>
#include <cstdint>
#include <vector>

/* Calls visit(index, entry) for each entry of the chain; a visit that returns
 * true ends the walk early.  Works on const and mutable arrays alike. */
template <typename Slots, typename Visit>
void slotWalk(Slots &slots, Visit visit)
{
    for (std::size_t i = 0; i < slots.size(); ++i) {
        if (visit(static_cast<std::int32_t>(i), slots[i]))
            return;
        if (!(slots[i].flags & SLOT_NEXT))
            return;
    }
}

/* The entry an add takes: the first one that is not both live and followed,
 * that is the lowest free entry, or else the last entry. */
template <typename T>
std::size_t slotTake(const std::vector<T> &slots)
{
    std::size_t taken = 0;
    slotWalk(slots, [&](std::int32_t i, const T &entry) {
        taken = static_cast<std::size_t>(i);
        return (entry.flags & (SLOT_USED | SLOT_NEXT)) != (SLOT_USED | SLOT_NEXT);
    });
    return taken;
}

inline bool slotLive(std::uint32_t flags)
{
    return (flags & SLOT_USED) && !(flags & SLOT_EDITING);
}

#endif
