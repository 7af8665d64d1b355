#include "subscriptions/ListBody.h"

bool GivesAnyName(std::string_view body, ListSide side) {
    ListNames names;
    const ListCounts counts = ReadListText(body, side, names);
    return counts.blockNames + counts.allowNames > 0;
}
