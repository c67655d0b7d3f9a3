// Data > Write and Read, USB > Reset: the table to and from the module.
#pragma once

void WriteToModule();
void ReadFromModule();
void ResetModule();
