// Trigger definitions: a table's .TRG file is a parameter file (ParameterFile.h) whose line
// "triggers=" holds the table's CREATE TRIGGER statements as a list of quoted values separated by
// spaces: 'CREATE DEFINER=`user`@`host` TRIGGER ...' '...' in file order, each value keeping the
// server's escapes (\' for a quote, \n for a line feed, \\ for a backslash).
#pragma once

#include <string>
#include <vector>

namespace wexholt {

// Every statement of the file that begins "CREATE DEFINER=", as "CREATE " + the statement from its
// TRIGGER keyword on (the keyword found without regard to case after the definer value; the
// definer clause itself dropped), escapes turned back into their characters, white space trimmed.
// Empty when the file cannot be opened or holds no such statement.
std::vector<std::string> TriggerStatements(const std::string& path);

// The statements of TriggerStatements, each as "DELIMITER $$\n" + statement + "\n$$\nDELIMITER ;\n",
// concatenated; empty when there are none.
std::string TriggerDefinitionText(const std::string& path);

// The statements of one "triggers=" value (raw, escapes kept), as TriggerStatements gives them.
std::vector<std::string> TriggerStatementsFromList(const std::string& rawList);

}  // namespace wexholt
