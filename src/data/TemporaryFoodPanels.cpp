// Temporary: an empty panel table until the data module reads the `nutrienti` table.
#include "TDM.h"

const FoodPanels& TDM::foodPanels()
{
    static const FoodPanels none;
    return none;
}
