var x = 1;
