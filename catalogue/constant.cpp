#include "catalogue/constant.h"

namespace CONSTANT
{

int16_t Liste_Active = 0;
int16_t Liste_A_Recharger = 0;
int16_t Verif_Doublon = 0;

QString Tampon;
QString Champ;
int16_t Num_Cle = 0;
int16_t Longueur = 0;
int32_t Position = 0;
int32_t Position_Suivante = 0;
int32_t Debut = 0;
int16_t Compteur = 0;
int16_t Pos_Virgule = 0;

} // namespace CONSTANT
