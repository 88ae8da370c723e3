#pragma once
// The name of an SQLite file layer (VFS) that gathers sequential page writes
// into large ones, for writing a safety copy quickly; registered on first
// use (never as the default). nullptr if it could not be registered.
const char *gatheringVfsName();
