#include "SitemapTestUtil.h"

#include "TestUtil.h"

std::string NodeEvalScript(const std::string& strPath, const char* pszEncoding, const std::string& strExpr)
{
    const std::string strProgram =
        "const fs=require('fs'),vm=require('vm');"
        "const src=new TextDecoder(process.argv[2]).decode(fs.readFileSync(process.argv[1]));"
        "try{const c={};vm.runInNewContext(src+';\\n;__r=JSON.stringify(" +
        strExpr +
        ");',c);process.stdout.write(c.__r);}"
        "catch(e){process.stdout.write(e.name+': '+e.message);}";
    SCommandResult res = RunCommand("node -e " + ShellQuote(strProgram) + " " + ShellQuote(strPath) + " " +
                                    ShellQuote(pszEncoding));
    return res.strOutput;
}
