void vrel__main() {
int vrel__x;
int vrel__y;
if (vrel__x == 1 ) {
vrel__writeInteger(1 );
}
else {
vrel__writeInteger(2 );
vrel__writeInteger(3 );
}
if (vrel__x <= vrel__y ) {
if (vrel__x >= 0 ) {
}
}
if (vrel__x < 0 || vrel__y > 9 ) {
}

}
int main() {
	vrel__main();
}


