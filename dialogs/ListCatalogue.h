#pragma once

#include <span>

#include "subscriptions/ListSubscription.h"

// A well-known public list that the Block Lists dialog offers to subscribe to.
struct CatalogueList {
    const char* name;
    const char* url;
    const char* licence;
    ListSide side;
};

// The lists offered, in the order shown. None is subscribed until the user ticks it.
std::span<const CatalogueList> ListCatalogue();
