#pragma once
// The form commands of the folian tool, built on the exported functions:
//   folian forms FILE                      one line per field: full name, type,
//                                          value, flags, page, rectangle (tab-separated)
//   folian fill -o OUT IN NAME=VALUE...    fills fields and writes OUT with new appearances
int ListForms(const char* path);
int FillForms(int argc, char** argv);
