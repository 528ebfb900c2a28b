#pragma once

#include <cstddef>

// Makes the process's allocator keep memory it got back for the next
// request instead of returning it to the system at once. A download hands
// libcurl a transfer buffer of 128 KiB that libcurl allocates at the start
// of every transfer and frees at its end: with the allocator's sliding
// defaults each free can give the top of the heap back, and the next
// download takes it again and faults in every page it touches. Freed
// blocks below 1 MiB stay in the heap, and up to 16 MiB of free heap is
// kept. Does nothing where the allocator has no such settings.
void KeepFreedBuffersForReuse();

// Asks the system to back the whole 2 MiB pages inside a large table that is
// about to be filled with large pages: on a virtual machine a first touch of
// each small page is costly, and a list of a million jobs touches 140,000 of
// them. Only a hint; does nothing where there are no large pages.
void AdviseLargePages(const void *start, size_t bytes);
