#include "catalogue/constant.h"

namespace CONSTANT
{

int16_t Liste_Active = 0;
int16_t Liste_A_Recharger = 0;
int16_t Verif_Doublon = 0;

} // namespace CONSTANT
