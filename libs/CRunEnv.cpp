#include "CRunEnv.h"

CRunEnv& CRunEnv::Instance()
{
    static CRunEnv s_env;
    return s_env;
}
