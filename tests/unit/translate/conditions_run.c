void vrel__main() {
int vrel__x;
int vrel__y;
vrel__x = 1 ;
vrel__y = 3 ;
if (!(vrel__x < vrel__y )) {
vrel__writeInteger(1 );
}
else {
vrel__writeInteger(0 );
}
if (!(vrel__x > vrel__y )) {
vrel__writeInteger(1 );
}
else {
vrel__writeInteger(0 );
}
if ((vrel__x == 1 || vrel__x == 0 )&& vrel__y == 0 ) {
vrel__writeInteger(1 );
}
else {
vrel__writeInteger(0 );
}
if (vrel__y == 3 && (vrel__x == 0 || vrel__x == 1 )) {
vrel__writeInteger(1 );
}
else {
vrel__writeInteger(0 );
}
if (!(vrel__x == 0 && vrel__y == 3 )) {
vrel__writeInteger(1 );
}
else {
vrel__writeInteger(0 );
}

}
int main() {
	vrel__main();
}


