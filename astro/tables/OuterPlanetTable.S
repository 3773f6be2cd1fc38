/* The outer planets' table (astro/tables/outer_planets.bin, written by tools/gen_asteroid_tables
   --planets) linked in as it is: read-only data between tarmin_outer_planet_table and
   tarmin_outer_planet_table_end. */
    .section .rodata
    .balign 16
    .globl tarmin_outer_planet_table
    .globl tarmin_outer_planet_table_end
tarmin_outer_planet_table:
    .incbin "astro/tables/outer_planets.bin"
tarmin_outer_planet_table_end:
    .byte 0
    .section .note.GNU-stack,"",@progbits
